// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Orders of 9 to 16 columns, too many to table whole (16! of them), from three numbers a pixel:
// the order of the first eight columns among themselves and of the others among themselves (from
// tables of 8! and (m - 8)! orders), and which eight of the block's m places the first eight take,
// in that order (one of C(m, 8) choices). Every order of the m columns comes from exactly one of
// the triples, so uniform numbers give uniform orders. A block is its colour's basis shuffled by
// the order, all 16 cells at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CSplitOrders {
public:
    static constexpr std::size_t kMinColumns = 9;
    static constexpr std::size_t kMaxColumns = 16;
    // The block's places in one shuffle; rows are written 16 bytes a store.
    static constexpr std::size_t kPlaces = 16;

    // Whether bases of `columns` columns in blocks of this shape are laid out here.
    static bool Fits(std::size_t columns, int blockWidth, int blockHeight);

    // Bases of equal length (that fits), columns a byte each.
    CSplitOrders(const std::vector<std::uint8_t>& white, const std::vector<std::uint8_t>& black, int blockWidth,
                 int blockHeight);

    // A pixel's three numbers are below these.
    std::vector<std::uint32_t> GetBounds() const;
    // The columns the numbers put at each place: order[place] < m is a basis column; from m on
    // places are padding and hold themselves.
    std::array<std::uint8_t, kPlaces> Order(const std::uint32_t* numbers) const;
    // The blocks of a secret row (only 0 is black) from their pixels' numbers, three each: block x's
    // cell c at cells[c / block width * rowBytes + x * block width + c % block width], padding white.
    // Each row of cells needs kPlaces bytes of slack after the row's blocks.
    void LayOutRow(const std::uint8_t* secret, std::size_t width, const std::uint32_t* numbers, std::uint8_t* cells,
                   std::size_t rowBytes) const;

    struct Tables {
        std::vector<std::uint64_t> firstOrders;  // orders of columns 0-7, a byte each
        std::vector<std::uint64_t> restOrders;   // orders of columns 8 to m - 1, then m to 15 in place
        std::vector<std::array<std::uint8_t, kPlaces>> places;  // where each place's column is in the two orders
        alignas(16) std::array<std::uint8_t, kPlaces> bases[2];  // white, black; padding 0
        alignas(16) std::array<std::uint8_t, kPlaces> rowParts[kPlaces];  // a block row's cells moved to the front
        std::size_t blockWidth = 0;
        std::size_t blockHeight = 0;
    };

private:
    Tables m_tables;
};
