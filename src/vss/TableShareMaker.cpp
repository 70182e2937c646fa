#include "vss/TableShareMaker.h"

#include <algorithm>
#include <cstring>
#include <numeric>

CTableShareMaker::CTableShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry),
      m_nShares(scheme.choice.n),
      m_nCells(static_cast<std::size_t>(geometry.blockWidth * geometry.blockHeight)),
      m_draws(geometry.width),
      m_uniform(random)
{
    for (const std::vector<std::uint8_t>* columns : {&scheme.white, &scheme.black}) {
        if (scheme.layout == SchemeLayout::OneColumn) {
            for (int c = 0; c < static_cast<int>(columns->size()); ++c)
                AddOutcome(*columns, {c});
            continue;
        }
        std::vector<int> order(columns->size());
        std::iota(order.begin(), order.end(), 0);
        do
            AddOutcome(*columns, order);
        while (std::next_permutation(order.begin(), order.end()));
    }
    m_nOutcomes /= 2;
}

// The cells of every share for one outcome: the columns in `order`, then white padding.
void CTableShareMaker::AddOutcome(const std::vector<std::uint8_t>& columns, const std::vector<int>& order)
{
    for (int share = 0; share < m_nShares; ++share)
        for (std::size_t cell = 0; cell < m_nCells; ++cell) {
            const bool black = cell < order.size() && (columns[order[cell]] >> share & 1) != 0;
            m_table.push_back(black ? 0 : 255);
        }
    ++m_nOutcomes;
}

template <int BlockWidth>
void CTableShareMaker::WriteRow(const std::uint8_t* secret, std::size_t y, std::uint8_t* const* shares) const
{
    const std::size_t stride = m_geometry.ShareStride();
    const std::size_t height = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t outcomeBytes = m_nCells * static_cast<std::size_t>(m_nShares);
    const std::uint8_t* table = m_table.data();
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        const std::size_t outcome = (secret[x] == 0 ? m_nOutcomes : 0) + m_draws[x];
        const std::uint8_t* cells = table + outcome * outcomeBytes;
        for (int share = 0; share < m_nShares; ++share, cells += m_nCells) {
            std::uint8_t* block = shares[share] + y * height * stride + x * BlockWidth;
            for (std::size_t r = 0; r < height; ++r)
                std::memcpy(block + r * stride, cells + r * BlockWidth, BlockWidth);
        }
    }
}

bool CTableShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    for (std::size_t y = 0; y < m_geometry.height; ++y) {
        if (!m_uniform.Draw(m_draws.data(), m_draws.size(), m_nOutcomes))
            return false;
        const std::uint8_t* row = secret + y * m_geometry.SecretStride();
        switch (m_geometry.blockWidth) {
        case 1: WriteRow<1>(row, y, shares); break;
        case 2: WriteRow<2>(row, y, shares); break;
        default: WriteRow<3>(row, y, shares); break;
        }
    }
    return true;
}
