#include "vss/LeakTest.h"

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
    if (m_pixels[secretBlack] == 0)
        return std::nullopt;
    return static_cast<double>(m_blackSubpixels[secretBlack]) /
           (static_cast<double>(m_pixels[secretBlack]) * m_nSubpixels);
}

[[gnu::target_clones("popcnt", "default")]] void CLeakTest::AddRow(const BYTE* secretRow, const BlockPattern* blocks,
                                                                 int width)
{
    std::uint64_t blackSubpixels[2] = {0, 0};
    std::uint64_t pixels[2] = {0, 0};
    std::uint64_t* counts[2] = {m_patterns[0].data(), m_patterns[1].data()};
    for (int x = 0; x < width; ++x) {
        const bool black = secretRow[x] == 0;
        blackSubpixels[black] += static_cast<std::uint64_t>(std::popcount(blocks[x]));
        ++pixels[black];
        if (!m_bWindows)
            ++counts[black][Category(blocks[x])];
    }
    for (int c = 0; c < 2; ++c) {
        m_blackSubpixels[c] += blackSubpixels[c];
        m_pixels[c] += pixels[c];
    }
}
