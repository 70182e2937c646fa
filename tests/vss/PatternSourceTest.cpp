// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PatternSource.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

TEST(PatternSource, LcgSeededWithOneDrawsTheKnownSequence)
{
    CLcgPatternSource source(1);
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 10; ++i)
        draws.push_back(source.Draw());
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962,
                                                 24464}));
}

TEST(PatternSource, LcgFillGivesDrawsModuloSix)
{
    CLcgPatternSource source(1);
    std::uint8_t indices[10];
    ASSERT_TRUE(source.Fill(indices, 10));
    EXPECT_EQ(std::vector<int>(indices, indices + 10), (std::vector<int>{5, 5, 4, 4, 5, 4, 0, 0, 4, 2}));
}

TEST(PatternSource, SecureIndicesAreUniformOverZeroToFive)
{
    // Chi-square with 5 degrees of freedom; 40 is exceeded by chance about once in 10^7 runs.
    constexpr std::size_t kDraws = 6'000'000;
    std::vector<std::uint8_t> indices(kDraws);
    CSecurePatternSource source;
    // Uneven pieces, so that requests straddle the source's batches.
    for (std::size_t done = 0, piece = 1; done < kDraws; done += piece, piece = piece * 3 + 1)
        ASSERT_TRUE(source.Fill(indices.data() + done, std::min(piece, kDraws - done)));
    std::array<double, 6> counts{};
    for (std::uint8_t k : indices) {
        ASSERT_LT(k, 6);
        ++counts[k];
    }
    double chiSquare = 0;
    for (double c : counts)
        chiSquare += (c - kDraws / 6.0) * (c - kDraws / 6.0) / (kDraws / 6.0);
    EXPECT_LT(chiSquare, 40.0);

    // Neighbours independent too: pairs over the 36 cells (35 degrees of freedom, bound ~1e-7).
    std::array<double, 36> pairs{};
    for (std::size_t i = 0; i + 1 < kDraws; i += 2)
        ++pairs[indices[i] * 6 + indices[i + 1]];
    const double expected = kDraws / 2 / 36.0;
    double pairSquare = 0;
    for (double c : pairs)
        pairSquare += (c - expected) * (c - expected) / expected;
    EXPECT_LT(pairSquare, 95.0);
}
