// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PermutingShareMaker.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace {
std::uint32_t Factorial(std::size_t m)
{
    std::uint32_t product = 1;
    for (std::size_t i = 2; i <= m; ++i)
        product *= static_cast<std::uint32_t>(i);
    return product;
}

// A tabled basis draws one order a pixel, as many to a random word as it holds; a shuffled one
// the partner of each step, step i (from m - 1 down to 1) below i + 1.
std::vector<std::uint32_t> BoundsOf(std::size_t columns)
{
    if (columns <= CPermutingShareMaker::kMaxTabledOrderColumns)
        return std::vector<std::uint32_t>(CBatchedDraws::PerWord(Factorial(columns)), Factorial(columns));
    std::vector<std::uint32_t> bounds;
    for (std::size_t i = columns - 1; i > 0; --i)
        bounds.push_back(static_cast<std::uint32_t>(i + 1));
    return bounds;
}
}  // namespace

CPermutingShareMaker::CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry),
      m_nShares(scheme.choice.n),
      m_nColumns(scheme.white.size()),
      m_random(random, BoundsOf(std::max<std::size_t>(m_nColumns, 1)))
{
    const std::size_t m = m_nColumns;
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    if (m < 2 || m > 256 || bw > kCopyBytes || m > bw * bh || scheme.black.size() != m)
        throw std::invalid_argument("no shuffled blocks for this basis");
    for (std::size_t c = 0; c < m; ++c)
        m_columns.push_back(static_cast<std::uint16_t>(scheme.white[c] | scheme.black[c] << 8));
    if (m <= kMaxTabledOrderColumns) {
        // Every order in lexicographic order, as the shuffle tables of the smaller bases.
        std::vector<std::size_t> order(m);
        std::iota(order.begin(), order.end(), 0);
        do
            for (const std::vector<std::uint8_t>* basis : {&scheme.white, &scheme.black}) {
                std::uint64_t word = 0;
                for (std::size_t c = 0; c < m; ++c)
                    word |= std::uint64_t{(*basis)[order[c]]} << (8 * c);
                m_orders.push_back(word);
            }
        while (std::next_permutation(order.begin(), order.end()));
        const std::size_t perRound = m_random.GetRoundSize();
        m_nRounds = (geometry.width + perRound - 1) / perRound;
        m_draws.resize(m_nRounds * perRound);
    } else {
        m_nRounds = geometry.width;
        m_steps.resize(m_nRounds * m_random.GetRoundSize());
    }
    m_block.assign((bh - 1) * bw + kCopyBytes, 0);
    m_nRowBytes = geometry.width * bw + kCopyBytes;
    m_cells.assign(bh * m_nRowBytes, 0);
}

void CPermutingShareMaker::PlaceBlock(std::size_t x)
{
    const auto bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    std::uint8_t* cells = m_cells.data() + x * bw;
    for (std::size_t r = 0; r < bh; ++r)
        std::memcpy(cells + r * m_nRowBytes, m_block.data() + r * bw, kCopyBytes);
}

bool CPermutingShareMaker::LayOutTabledRow(const std::uint8_t* secret)
{
    if (!m_random.Draw(m_draws.data(), m_nRounds))
        return false;
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        const std::uint64_t word = m_orders[2 * std::size_t{m_draws[x]} + (secret[x] == 0)];
        std::memcpy(m_block.data(), &word, sizeof word);
        PlaceBlock(x);
    }
    return true;
}

// Shuffling the last order keeps every order equally likely: each pixel's is uniform on its own.
bool CPermutingShareMaker::LayOutShuffledRow(const std::uint8_t* secret)
{
    const std::size_t m = m_nColumns;
    std::uint16_t* columns = m_columns.data();
    std::uint8_t* block = m_block.data();
    if (!m_random.Draw(m_steps.data(), m_nRounds))
        return false;
    const std::uint8_t* partner = m_steps.data();
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        for (std::size_t i = m - 1; i > 0; --i, ++partner)
            std::swap(columns[i], columns[*partner]);
        const int shift = secret[x] == 0 ? 8 : 0;
        for (std::size_t c = 0; c < m; ++c)
            block[c] = static_cast<std::uint8_t>(columns[c] >> shift);
        PlaceBlock(x);
    }
    return true;
}

bool CPermutingShareMaker::MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows,
                                    std::uint8_t* const* shares)
{
    const std::size_t stride = m_geometry.ShareStride();
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t rowBytes = m_geometry.ShareWidth();
    const bool tabled = !m_orders.empty();
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* secretRow = secret + (y + row) * m_geometry.SecretStride();
        if (!(tabled ? LayOutTabledRow(secretRow) : LayOutShuffledRow(secretRow)))
            return false;
        for (int share = 0; share < m_nShares; ++share) {
            const auto bit = static_cast<std::uint8_t>(1u << share);
            for (std::size_t r = 0; r < bh; ++r) {
                const std::uint8_t* cells = m_cells.data() + r * m_nRowBytes;
                std::uint8_t* out = shares[share] + (row * bh + r) * stride;
                for (std::size_t i = 0; i < rowBytes; ++i)
                    out[i] = (cells[i] & bit) != 0 ? 0 : 255;  // black 0, white 255
            }
        }
    }
    return true;
}

bool CPermutingShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_geometry.height, shares);
}
