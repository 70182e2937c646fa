// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/CellShareMaker.h"

CCellShareMaker::CCellShareMaker(ShareGeometry geometry, int shares)
    : m_geometry(geometry),
      m_nShares(shares),
      m_nPitch(CellPitch(geometry.ShareWidth())),
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
