// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/LeakTest.h"

#include <bit>

CLeakTest::CLeakTest(int subpixels)
    : m_nSubpixels(subpixels), m_bWindows(subpixels == 1), m_bByCount(subpixels > kMaxPatternBits)
{
    const std::size_t categories = m_bWindows   ? std::size_t{1} << kWindowBits
                                   : m_bByCount ? static_cast<std::size_t>(subpixels) + 1
                                                : std::size_t{1} << subpixels;
    for (auto& counts : m_patterns)
        counts.assign(categories, 0);
}

std::optional<double> CLeakTest::Darkness(bool secretBlack) const
{
    std::uint64_t pixels = m_pixels[secretBlack];
    std::uint64_t black = m_blackSubpixels[secretBlack];
    if (!m_bWindows) {
        // Blocks: each category knows its black subpixels.
        const auto& counts = m_patterns[secretBlack];
        for (std::size_t category = 0; category < counts.size(); ++category) {
            const auto subpixels = m_bByCount ? category : static_cast<std::size_t>(std::popcount(category));
            pixels += counts[category];
            black += counts[category] * subpixels;
        }
    }
    if (pixels == 0)
        return std::nullopt;
    return static_cast<double>(black) / (static_cast<double>(pixels) * m_nSubpixels);
}

[[gnu::target_clones("popcnt", "default")]] void CLeakTest::AddRow(const BYTE* secretRow, const BlockPattern* blocks,
                                                                 int width)
{
    if (m_bWindows) {
        // Single subpixels: the pattern is the count of black.
        for (int x = 0; x < width; ++x) {
            const bool black = secretRow[x] == 0;
            m_blackSubpixels[black] += blocks[x];
            ++m_pixels[black];
        }
        return;
    }
    std::uint64_t* counts[2] = {m_patterns[0].data(), m_patterns[1].data()};
    for (int x = 0; x < width; ++x)
        ++counts[secretRow[x] == 0][Category(blocks[x])];
}
