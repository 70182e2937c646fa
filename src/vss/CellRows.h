// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rows of cells: a byte a cell of the shares' rows, bit i (1 << i) set where share i's cell is
// black. Makers that lay out cells hand over one byte a cell whatever the number of shares; each
// share's rows are spread from them where they are written, into a buffer that stays in the
// writing processor's cache.

#include <cstddef>
#include <cstdint>

// Bytes past a row's last cell that a maker may store into; the next row starts after them.
inline constexpr std::size_t kCellRowSlack = 16;

// Bytes from one row of cells to the next, for rows of `width` cells: the width and the slack, in
// whole cache lines.
std::size_t CellPitch(std::size_t width);

struct CellRows {
    const std::uint8_t* cells = nullptr;
    std::size_t pitch = 0;  // bytes from one row of cells to the next
    std::size_t width = 0;  // cells a row
    std::size_t rows = 0;

    // Share i's rows into `out`, `stride` bytes apart; the bytes past a row's cells are left alone.
    void Spread(int share, std::uint8_t* out, std::size_t stride) const;
};
