// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Orders of 9 to 16 things, too many to table whole (16! of them), from three numbers: the order
// of the first eight among themselves and of the others among themselves (from tables of 8! and
// (m - 8)! orders), and which eight of the m places the first eight take, in that order (one of
// C(m, 8) choices). Every order of the m things comes from exactly one of the triples, so uniform
// numbers give uniform orders. A block's first 16 cells are put in order in one byte shuffle.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CSplitOrders {
public:
    static constexpr std::size_t kMinColumns = 9;
    static constexpr std::size_t kPlaces = 16;  // also the most columns

    explicit CSplitOrders(std::size_t columns);

    // An order's three numbers are below these.
    std::vector<std::uint32_t> GetBounds() const;
    // What the numbers put at each place: order[place] < m is the thing there; from m on places
    // hold themselves.
    std::array<std::uint8_t, kPlaces> Order(const std::uint32_t* numbers) const;
    // The first kPlaces bytes of `count` blocks, `stride` bytes apart, each put in the order of its
    // three numbers: block[p] becomes the old block[order[p]].
    void Shuffle(const std::uint32_t* numbers, std::uint8_t* blocks, std::size_t stride, std::size_t count) const;

    struct Tables {
        std::vector<std::uint64_t> firstOrders;  // orders of 0-7, a byte each
        std::vector<std::uint64_t> restOrders;   // orders of 8 to m - 1, then m to 15 in place
        std::vector<std::array<std::uint8_t, kPlaces>> places;  // where each place's thing is in the two orders
    };

private:
    Tables m_tables;
};
