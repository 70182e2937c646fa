// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether shares, alone or stacked a few together, tell anything about the secret: their block
// patterns counted by the colour of the secret pixel beneath, and how dark they are over each
// colour. A share that hides its secret shows the same mix of patterns over black and white.

#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/ChiSquare.h"

// A chi-square p-value under this says the patterns depend on the secret's colour.
inline constexpr double kLeakPValue = 0.001;

class CLeakTest {
public:
    // Up to this many subpixels a pattern is its own category; larger blocks are categorised by
    // their count of black subpixels.
    static constexpr int kMaxPatternBits = 16;
    // Without blocks, patterns are those of 2 x 2 windows of pixels.
    static constexpr int kWindowBits = 4;

    // Blocks of `subpixels`; 1 counts patterns of windows given to AddWindow instead of blocks.
    explicit CLeakTest(int subpixels);

    // The blocks over one row of secret pixels (only 0 is black).
    void AddRow(const BYTE* secretRow, const BlockPattern* blocks, int width);
    // `count` blocks of one pattern over pixels of one colour.
    void AddBlocks(bool secretBlack, BlockPattern block, std::uint64_t count)
    {
        m_patterns[secretBlack][Category(block)] += count;
    }
    // The window over four secret pixels of one colour, bit 2 * row + column.
    void AddWindow(bool secretBlack, BlockPattern window) { ++m_patterns[secretBlack][window]; }

    bool CountsWindows() const { return m_bWindows; }
    // Share of black subpixels over the secret's pixels of that colour.
    std::optional<double> Darkness(bool secretBlack) const;
    // Nothing when the secret had only one colour beneath the patterns.
    std::optional<ChiSquareResult> Test() const { return TestIndependence(m_patterns[1], m_patterns[0]); }

private:
    std::size_t Category(BlockPattern block) const
    {
        return m_bByCount ? static_cast<std::size_t>(std::popcount(block)) : static_cast<std::size_t>(block);
    }

    int m_nSubpixels;
    bool m_bWindows;
    bool m_bByCount;
    std::vector<std::uint64_t> m_patterns[2];  // [secret black][category]
    // Darkness of single subpixels (windows); blocks' darkness comes from their categories.
    std::uint64_t m_blackSubpixels[2] = {0, 0};
    std::uint64_t m_pixels[2] = {0, 0};
};
