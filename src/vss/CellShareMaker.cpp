// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/CellShareMaker.h"

#include "vss/CellKernels.h"

namespace {
constexpr std::size_t kCacheLine = 64;
}  // namespace

void CellRows::Spread(int share, std::uint8_t* out, std::size_t stride) const
{
    static const cell_kernels::SpreadFn spread = cell_kernels::BestSpread();
    const auto bit = static_cast<std::uint8_t>(1u << share);
    for (std::size_t r = 0; r < rows; ++r)
        spread(cells + r * pitch, bit, out + r * stride, width);
}

std::size_t CCellShareMaker::PitchOf(std::size_t shareWidth)
{
    return (shareWidth + kRowSlack + kCacheLine - 1) / kCacheLine * kCacheLine;
}

CCellShareMaker::CCellShareMaker(ShareGeometry geometry, int shares)
    : m_geometry(geometry),
      m_nShares(shares),
      m_nPitch(PitchOf(geometry.ShareWidth())),
      m_rowCells(static_cast<std::size_t>(geometry.blockHeight) * m_nPitch, 0)
{
}

bool CCellShareMaker::MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows,
                               std::uint8_t* const* shares)
{
    const std::size_t stride = m_geometry.ShareStride();
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const CellRows row{m_rowCells.data(), m_nPitch, m_geometry.ShareWidth(), bh};
    for (std::size_t r = 0; r < rows; ++r) {
        if (!MakeCells(secret, y + r, 1, m_rowCells.data()))
            return false;
        for (int share = 0; share < m_nShares; ++share)
            row.Spread(share, shares[share] + r * bh * stride, stride);
    }
    return true;
}

bool CCellShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_geometry.height, shares);
}
