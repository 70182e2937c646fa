// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/CellRows.h"

#include "vss/CellKernels.h"

std::size_t CellPitch(std::size_t width)
{
    constexpr std::size_t kCacheLine = 64;
    return (width + kCellRowSlack + kCacheLine - 1) / kCacheLine * kCacheLine;
}

void CellRows::Spread(int share, std::uint8_t* out, std::size_t stride) const
{
    static const cell_kernels::SpreadFn spread = cell_kernels::BestSpread();
    const auto bit = static_cast<std::uint8_t>(1u << share);
    for (std::size_t r = 0; r < rows; ++r)
        spread(cells + r * pitch, bit, out + r * stride, width);
}
