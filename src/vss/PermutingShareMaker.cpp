// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PermutingShareMaker.h"

#include <numeric>
#include <utility>

CPermutingShareMaker::CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry),
      m_nShares(scheme.choice.n),
      m_white(scheme.white),
      m_black(scheme.black),
      m_order(scheme.white.size()),
      m_uniform(random)
{
    std::iota(m_order.begin(), m_order.end(), std::uint8_t{0});
}

// Shuffling the last order keeps every order equally likely: each pixel's is uniform on its own.
bool CPermutingShareMaker::Shuffle()
{
    for (std::size_t i = m_order.size() - 1; i > 0; --i) {
        std::uint32_t j = 0;
        if (!m_uniform.DrawOne(static_cast<std::uint32_t>(i + 1), j))
            return false;
        std::swap(m_order[i], m_order[j]);
    }
    return true;
}

bool CPermutingShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    const std::size_t stride = m_geometry.ShareStride();
    const std::size_t bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const std::size_t bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t m = m_order.size();
    for (std::size_t y = 0; y < m_geometry.height; ++y) {
        const std::uint8_t* row = secret + y * m_geometry.SecretStride();
        for (std::size_t x = 0; x < m_geometry.width; ++x) {
            if (!Shuffle())
                return false;
            const std::vector<std::uint8_t>& columns = row[x] == 0 ? m_black : m_white;
            for (int share = 0; share < m_nShares; ++share) {
                std::uint8_t* block = shares[share] + y * bh * stride + x * bw;
                for (std::size_t cell = 0; cell < bw * bh; ++cell) {
                    const bool black = cell < m && (columns[m_order[cell]] >> share & 1) != 0;
                    block[cell / bw * stride + cell % bw] = black ? 0 : 255;
                }
            }
        }
    }
    return true;
}
