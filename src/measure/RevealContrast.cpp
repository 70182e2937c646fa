// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/RevealContrast.h"

#include "measure/RevealSimilarity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

CDarknessHistogram::CDarknessHistogram(int subpixels)
    : m_nSubpixels(subpixels), m_counts(2 * static_cast<std::size_t>(subpixels + 1), 0)
{
}

void CDarknessHistogram::Merge(const CDarknessHistogram& other)
{
    for (std::size_t i = 0; i < m_counts.size(); ++i)
        m_counts[i] += other.m_counts[i];
}

namespace {
// Each block's black subpixels into `counts` (scaled to kMaxCellCount where blocks are larger)
// and into the histogram's two columns. Cloned as a free function: clang takes clones only on a
// function's first declaration, and a member's is in the header.
[[gnu::target_clones("popcnt", "default")]] void CountRow(const std::uint8_t* secretRow, const std::uint64_t* stacked,
                                                         int width, int words, int subpixels, std::uint8_t* counts,
                                                         std::uint64_t* overWhite, std::uint64_t* overBlack)
{
    if (words == 1) {
        for (int x = 0; x < width; ++x) {
            const auto count = static_cast<std::uint8_t>(std::popcount(stacked[x]));
            counts[x] = count;
            ++(secretRow[x] == 0 ? overBlack : overWhite)[count];
        }
        return;
    }
    for (int x = 0; x < width; ++x, stacked += words) {
        int count = 0;
        for (int w = 0; w < words; ++w)
            count += std::popcount(stacked[w]);
        counts[x] = static_cast<std::uint8_t>((count * kMaxCellCount + subpixels / 2) / subpixels);
        ++(secretRow[x] == 0 ? overBlack : overWhite)[count];
    }
}
}  // namespace

void CDarknessHistogram::AddRow(const std::uint8_t* secretRow, const std::uint64_t* stacked, int width, int words,
                                std::uint8_t* counts)
{
    std::uint64_t* overWhite = m_counts.data();
    CountRow(secretRow, stacked, width, words, m_nSubpixels, counts, overWhite, overWhite + m_nSubpixels + 1);
}

void CDarknessHistogram::Reset()
{
    std::fill(m_counts.begin(), m_counts.end(), 0);
}

std::uint64_t CDarknessHistogram::Pixels(bool secretBlack) const
{
    std::uint64_t pixels = 0;
    for (int c = 0; c <= m_nSubpixels; ++c)
        pixels += Blocks(secretBlack, c);
    return pixels;
}

std::optional<double> CDarknessHistogram::Darkness(bool secretBlack) const
{
    std::uint64_t pixels = 0;
    std::uint64_t black = 0;
    for (int c = 0; c <= m_nSubpixels; ++c) {
        pixels += Blocks(secretBlack, c);
        black += Blocks(secretBlack, c) * static_cast<std::uint64_t>(c);
    }
    if (pixels == 0)
        return std::nullopt;
    return static_cast<double>(black) / (static_cast<double>(pixels) * m_nSubpixels);
}

double GreyMapping::Grey(double darkness) const
{
    return std::round(std::clamp(255.0 * (black - darkness) / (black - white), 0.0, 255.0));
}

std::optional<GreyMapping> MappingOf(const CDarknessHistogram& histogram)
{
    const auto h = histogram.Darkness(true);
    const auto l = histogram.Darkness(false);
    if (!h || !l || *h == *l)
        return std::nullopt;
    return GreyMapping{*h, *l};
}

namespace {
double ErrorRate(const CDarknessHistogram& histogram, double h, double l)
{
    const int m = histogram.GetSubpixels();
    double wrong = 0;
    for (int c = 0; c <= m; ++c) {
        // Compared in counts of subpixels, so that a block exactly at the midpoint is found as such.
        const double side = 2.0 * c - (h + l) * m;
        const double blackWrong = side == 0 ? 0.5 : (side < 0) == (h > l);
        const double whiteWrong = side == 0 ? 0.5 : (side > 0) == (h > l);
        wrong += blackWrong * static_cast<double>(histogram.Blocks(true, c)) +
                 whiteWrong * static_cast<double>(histogram.Blocks(false, c));
    }
    return wrong / static_cast<double>(histogram.Pixels(true) + histogram.Pixels(false));
}

double MeanSquaredError(const CDarknessHistogram& histogram, const GreyMapping& mapping)
{
    const int m = histogram.GetSubpixels();
    double sum = 0;
    for (int c = 0; c <= m; ++c) {
        const double grey = mapping.Grey(static_cast<double>(c) / m);
        sum += grey * grey * static_cast<double>(histogram.Blocks(true, c)) +
               (255 - grey) * (255 - grey) * static_cast<double>(histogram.Blocks(false, c));
    }
    return sum / static_cast<double>(histogram.Pixels(true) + histogram.Pixels(false));
}
}  // namespace

namespace {
// Darknesses h and l and what papers derive from them.
void SetContrast(double h, double l, std::optional<double>& alpha, std::optional<double>& beta)
{
    alpha = h - l;
    const double lightBlack = 1 - h;
    const double lightWhite = 1 - l;
    beta = (lightWhite - lightBlack) / (1 + lightBlack);
}
}  // namespace

ContrastFigures ComputeContrast(const CDarknessHistogram& histogram, const std::optional<GreyMapping>& mapping,
                                int schemeSubpixels)
{
    ContrastFigures figures;
    figures.blockBlackDarkness = histogram.Darkness(true);
    figures.blockWhiteDarkness = histogram.Darkness(false);
    if (mapping && histogram.Pixels(true) + histogram.Pixels(false) > 0)
        figures.meanSquaredError = MeanSquaredError(histogram, *mapping);
    if (!figures.blockBlackDarkness || !figures.blockWhiteDarkness)
        return figures;
    const double toScheme = static_cast<double>(histogram.GetSubpixels()) / schemeSubpixels;
    const double h = *figures.blockBlackDarkness;
    const double l = *figures.blockWhiteDarkness;
    figures.blackDarkness = h * toScheme;
    figures.whiteDarkness = l * toScheme;
    SetContrast(*figures.blackDarkness, *figures.whiteDarkness, figures.alpha, figures.beta);
    SetContrast(h, l, figures.blockAlpha, figures.blockBeta);
    figures.errorRate = ErrorRate(histogram, h, l);
    return figures;
}

std::optional<double> PeakSignalToNoise(const std::optional<double>& meanSquaredError)
{
    if (!meanSquaredError)
        return std::nullopt;
    if (*meanSquaredError <= 0)
        return std::numeric_limits<double>::infinity();
    return 10 * std::log10(255.0 * 255.0 / *meanSquaredError);
}
