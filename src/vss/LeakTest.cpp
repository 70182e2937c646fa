#include "vss/LeakTest.h"

#include <bit>

CLeakTest::CLeakTest(int patternBits) : m_bByCount(patternBits > kMaxPatternBits)
{
    const std::size_t categories = m_bByCount ? static_cast<std::size_t>(patternBits) + 1
                                              : std::size_t{1} << patternBits;
    m_overBlack.assign(categories, 0);
    m_overWhite.assign(categories, 0);
}

void CLeakTest::AddPattern(bool secretBlack, BlockPattern pattern)
{
    const auto category = m_bByCount ? static_cast<std::size_t>(std::popcount(pattern)) : static_cast<std::size_t>(pattern);
    ++(secretBlack ? m_overBlack : m_overWhite)[category];
}

std::optional<double> CLeakTest::Darkness(bool secretBlack) const
{
    if (m_subpixels[secretBlack] == 0)
        return std::nullopt;
    return static_cast<double>(m_blackSubpixels[secretBlack]) / static_cast<double>(m_subpixels[secretBlack]);
}
