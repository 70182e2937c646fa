// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Basis matrices too wide to table every order of their columns together with the pixels'
// neighbours. Bases of up to eight columns draw each pixel's order as one number, an index into a
// table of every order of each colour's columns. Wider ones lay out a row's blocks side by side,
// each its colour's basis, shuffle each (Fisher-Yates) down to its first sixteen cells and put
// those in a split order (three numbers a pixel): any starting order gives every order alike.
// Numbers are drawn a row at a time, and a secret row's blocks laid out as rows of cells, a block
// row each.

#include <cstdint>
#include <memory>
#include <vector>

#include "vss/BatchedDraws.h"
#include "vss/CellShareMaker.h"
#include "vss/SplitOrders.h"

class CPermutingShareMaker final : public CCellShareMaker {
public:
    // Bases of at most this many columns take their orders from a table (8! = 40320 of each colour).
    static constexpr std::size_t kMaxTabledOrderColumns = 8;

    CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool MakeCells(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* cells) override;

private:
    // Blocks are copied 16 bytes at a time; the next block, or the row's slack, takes the rest.
    static constexpr std::size_t kCopyBytes = 16;
    static_assert(kCopyBytes <= kCellRowSlack);

    bool LayOutTabledRow(const std::uint8_t* secret, std::uint8_t* cells);
    bool LayOutShuffledRow(const std::uint8_t* secret, std::uint8_t* cells);

    std::size_t m_nColumns;
    std::vector<std::uint64_t> m_orders;    // [order * 2 + black]: the order's columns, a byte each
    std::unique_ptr<CSplitOrders> m_split;  // for bases of nine columns or more
    std::size_t m_nRounds = 0;              // of draws a row takes
    std::vector<std::uint32_t> m_draws;     // a row's order numbers (the last word's spare ones too)
    std::vector<std::uint8_t> m_steps;      // a row's shuffles: the steps' partners, pixel by pixel
    std::size_t m_nBlockBytes = 0;          // a laid-out block, with room to copy its last row whole
    std::vector<std::uint8_t> m_images;     // [black][cell]: each colour's basis as a block, padding white
    std::vector<std::uint8_t> m_blocks;     // a row's blocks side by side, m_nBlockBytes apart
    CBatchedDraws m_random;                 // orders
    std::unique_ptr<CBatchedDraws> m_stepRandom;  // the shuffles' partners, for more than 16 columns
};
