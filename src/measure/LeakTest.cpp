// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/LeakTest.h"

#include <bit>

namespace {
// A 64-bit mix (Stafford's variant 13): every input bit moves about half the output bits.
std::uint64_t Mix(std::uint64_t v)
{
    v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
    v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
    return v ^ (v >> 31);
}

// Cloned as a free function: clang takes clones only on a function's first declaration, and the
// member's is in the header, called inline there.
[[gnu::target_clones("popcnt", "default")]] std::size_t BlackCount(const BlockPattern* const* parts, int count,
                                                                  int words)
{
    std::size_t black = 0;
    for (int p = 0; p < count; ++p)
        for (int w = 0; w < words; ++w)
            black += static_cast<std::size_t>(std::popcount(parts[p][w]));
    return black;
}
}  // namespace

double LeakThreshold(std::size_t testCount)
{
    return kLeakPValue / static_cast<double>(testCount == 0 ? 1 : testCount);
}

CLeakTest::CLeakTest(LeakCategories by, int partBits, int parts)
    : m_by(by), m_nPartBits(partBits), m_nParts(parts),
      m_bHashed(by == LeakCategories::Patterns && partBits * parts > kExactBits),
      m_bExactSingle(by == LeakCategories::Patterns && !m_bHashed && parts == 1)
{
    const std::size_t categories = by == LeakCategories::BlackCount ? static_cast<std::size_t>(partBits * parts) + 1
                                   : m_bHashed                      ? std::size_t{1} << kHashedBits
                                                                    : std::size_t{1} << (partBits * parts);
    for (auto& counts : m_counts)
        counts.assign(categories, 0);
}

std::size_t CLeakTest::SlowCategory(const BlockPattern* const* parts, int words) const
{
    if (m_by == LeakCategories::BlackCount)
        return BlackCount(parts, m_nParts, words);
    if (!m_bHashed) {
        std::size_t row = 0;
        for (int p = 0; p < m_nParts; ++p)
            row |= static_cast<std::size_t>(parts[p][0]) << (p * m_nPartBits);
        return row;
    }
    std::uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (int p = 0; p < m_nParts; ++p)
        for (int w = 0; w < words; ++w)
            hash = Mix(hash ^ parts[p][w]) + static_cast<std::uint64_t>(p);
    return static_cast<std::size_t>(hash >> (64 - kHashedBits));
}

std::optional<double> CLeakTest::Darkness(bool secretBlack) const
{
    if (m_subpixels[secretBlack] == 0)
        return std::nullopt;
    return static_cast<double>(m_blackSubpixels[secretBlack]) / static_cast<double>(m_subpixels[secretBlack]);
}
