// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ToneMap.h"

#include <QImage>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
std::optional<int> ParseGrey(std::string_view text)
{
    int value = -1;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size() || value < 0 || value > 255)
        return std::nullopt;
    return value;
}
}  // namespace

std::optional<GreyLevels> ParseGreyLevels(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto black = ParseGrey(text.substr(0, colon));
    const auto white = ParseGrey(text.substr(colon + 1));
    if (!black || !white || *black >= *white)
        return std::nullopt;
    return GreyLevels{*black, *white};
}

GreyLevels PercentileLevels(const QImage& grey)
{
    std::array<std::uint64_t, 256> histogram{};
    const int width = grey.width();
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < width; ++x)
            ++histogram[row[x]];
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(grey.height());
    // The darkest grey with at least 1% of the pixels at or below it, and with 99%.
    const std::uint64_t lowCount = (pixels + 99) / 100;
    const std::uint64_t highCount = (pixels * 99 + 99) / 100;
    int low = -1;
    int high = -1;
    std::uint64_t below = 0;
    for (int g = 0; g < 256 && high < 0; ++g) {
        below += histogram[static_cast<std::size_t>(g)];
        if (low < 0 && below >= lowCount)
            low = g;
        if (below >= highCount)
            high = g;
    }
    if (pixels == 0 || low >= high)
        return {};
    return {low, high};
}

CToneMap::CToneMap(GreyLevels levels, double gamma)
{
    const double span = levels.white - levels.black;
    for (int g = 0; g < 256; ++g) {
        const double t = std::clamp((g - levels.black) / span, 0.0, 1.0);
        m_table[static_cast<std::size_t>(g)] = static_cast<std::uint8_t>(std::lround(255.0 * std::pow(t, 1.0 / gamma)));
    }
}

void CToneMap::Apply(QImage& frame) const
{
    const int width = frame.width();
    for (int y = 0; y < frame.height(); ++y) {
        uchar* row = frame.scanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = m_table[row[x]];
    }
}

CToneStage::CToneStage(GreyLevels levels, double gamma, AutoLevels autoLevels)
    : m_gamma(gamma),
      m_autoLevels(autoLevels),
      m_bIdentity(autoLevels == AutoLevels::off && levels == GreyLevels{} && gamma == 1.0),
      m_map(levels, gamma)
{
}

void CToneStage::Apply(QImage& frame) const
{
    if (!m_bIdentity)
        m_map.Apply(frame);
}

void CToneStage::Measure(const QImage& source)
{
    if (m_autoLevels == AutoLevels::each || (m_autoLevels == AutoLevels::first && !m_bMeasured))
        m_map = CToneMap(PercentileLevels(source), m_gamma);
    m_bMeasured = true;
}
