// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Basis matrices too wide to table every order of their columns: each pixel shuffles the m columns
// afresh (Fisher-Yates, from the last pixel's order) and its block takes them in that order. A
// secret row's blocks are laid out first as rows of columns, a block row each; every share's rows
// then come from those whole, a bit of each column a share, so that a frame is made a band of rows
// at a time.

#include <cstdint>
#include <memory>
#include <vector>

#include "vss/ShareMaker.h"

class CPermutingShareMaker final : public CShareMaker {
public:
    CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;
    bool MakesBands() const override { return true; }
    bool MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* const* shares) override;

private:
    // Blocks are copied 16 bytes at a time; the next block, or the row's slack, takes the rest.
    static constexpr std::size_t kCopyBytes = 16;

    bool ShuffleRow(const std::uint8_t* secret);
    bool Refill();

    ShareGeometry m_geometry;
    int m_nShares;
    // Column c of the current order for a white pixel (low byte) and a black one (high byte):
    // swapping these is swapping the order's entries.
    std::vector<std::uint16_t> m_columns;
    std::vector<std::uint8_t> m_reject;  // [i]: draws for a bound of i + 1 below this are drawn again
    std::vector<std::uint8_t> m_block;   // the current pixel's cells, the padding white
    std::vector<std::uint8_t> m_cells;   // [block row][x * block width + cell]: the columns of a row
    std::size_t m_nRowBytes;             // a row of m_cells, with its slack
    CRandomSource& m_random;
    std::unique_ptr<std::uint8_t[]> m_bytes;  // random bytes, one a draw
    const std::uint8_t* m_pNext = nullptr;
    const std::uint8_t* m_pEnd = nullptr;
};
