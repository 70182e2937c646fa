// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame tallies of a share measurement where a pixel's whole story fits in 16 bits: its
// colour, every share's block pattern, and the previous frame's stacked pattern and colour. One
// count per pixel then serves every figure (darkness, leak tests, crawl), and the loops that make
// the keys work on bytes the compiler can vectorize. This is the case of the player's own
// (2, 2) shares and of most two-share schemes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/RevealSimilarity.h"

// One kind of pixel of a frame, and how many there were.
struct PixelKind {
    bool secretBlack;
    BlockPattern shares[8];  // share s's block pattern, s < share count
    BlockPattern previousStack;
    bool previousWhite;
};

class CSmallBlockTally {
public:
    // Whether blocks of this shape and this many shares fit.
    static bool Fits(BlockShape block, int shareCount);

    CSmallBlockTally(int secretWidth, int secretHeight, BlockShape block, int shareCount);

    // Counts one frame's pixels by kind and fills `cells` (its blocks' black counts and colours).
    void CountFrame(const BYTE* secret, std::size_t secretStride, const std::vector<const BYTE*>& shares,
                    std::size_t shareStride, StackedCells& cells);

    // Calls visit(share, secretChanged, changedSubpixels, count) for how each share's blocks changed
    // from the frame before the last to the last (nothing after the first frame).
    template <typename Visit>
    void ForEachChange(Visit visit) const
    {
        const std::size_t perShare = std::size_t{2} << m_nBits;
        for (std::size_t i = 0; i < m_changes.size(); ++i)
            if (m_changes[i] != 0)
                visit(static_cast<int>(i / perShare), (i % perShare) >> m_nBits != 0,
                      BlockPattern{i % perShare & ((std::size_t{1} << m_nBits) - 1)}, std::uint64_t{m_changes[i]});
    }

    // Calls visit(kind, count) for every kind the last frame held.
    template <typename Visit>
    void ForEachKind(Visit visit) const
    {
        for (std::size_t key = 0; key < m_counts.size(); ++key)
            if (m_counts[key] != 0)
                visit(Decode(key), std::uint64_t{m_counts[key]});
    }

private:
    PixelKind Decode(std::size_t key) const;
    void CountChanges(const BYTE* secretRow, const std::uint8_t* previousStack, const std::uint8_t* patterns,
                      std::uint8_t* previousPatterns, std::uint32_t* changes) const;

    int m_nWidth;
    int m_nHeight;
    BlockShape m_block;
    int m_nShares;
    unsigned m_nBits;                               // of a block pattern
    std::vector<std::uint32_t> m_counts;            // by key
    std::vector<std::uint8_t> m_patterns;           // one share's patterns of this row
    std::vector<std::uint8_t> m_stacked;            // this row's stacked patterns
    std::vector<std::uint16_t> m_keys;              // this row's
    std::vector<std::uint8_t> m_previous;           // per pixel: stacked pattern | kSecretWhiteBit
    std::vector<std::uint8_t> m_previousPatterns;   // per share and pixel
    std::vector<std::uint32_t> m_changes;           // per share: by secret changed, changed subpixels
    bool m_bCompare = false;                        // a frame came before
};
