// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PermutingShareMaker.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "vss/CellKernels.h"

namespace {
std::uint32_t Factorial(std::size_t m)
{
    std::uint32_t product = 1;
    for (std::size_t i = 2; i <= m; ++i)
        product *= static_cast<std::uint32_t>(i);
    return product;
}

// A tabled basis draws one order a pixel, as many to a random word as it holds; a split one its
// three numbers; a shuffled one the partner of each step, step i (from m - 1 down to 1) below i + 1.
std::vector<std::uint32_t> BoundsOf(std::size_t columns, const CSplitOrders* split)
{
    if (columns <= CPermutingShareMaker::kMaxTabledOrderColumns)
        return std::vector<std::uint32_t>(CBatchedDraws::PerWord(Factorial(columns)), Factorial(columns));
    if (split)
        return split->GetBounds();
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
      m_split(m_nColumns > kMaxTabledOrderColumns &&
                      CSplitOrders::Fits(m_nColumns, geometry.blockWidth, geometry.blockHeight)
                  ? std::make_unique<CSplitOrders>(scheme.white, scheme.black, geometry.blockWidth,
                                                   geometry.blockHeight)
                  : nullptr),
      m_random(random, BoundsOf(std::max<std::size_t>(m_nColumns, 1), m_split.get()))
{
    const std::size_t m = m_nColumns;
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    if (m < 2 || m > 256 || bw > kCopyBytes || m > bw * bh || scheme.black.size() != m ||
        (m <= kMaxTabledOrderColumns && (bw > sizeof(std::uint32_t) || (bh - 1) * bw >= sizeof(std::uint64_t))))
        throw std::invalid_argument("no permuted blocks for this basis");
    static_assert(CSplitOrders::kPlaces <= kCopyBytes);
    m_nRowBytes = geometry.width * bw + kCopyBytes;
    m_cells.assign(bh * m_nRowBytes, 0);
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
        return;
    }
    m_nRounds = geometry.width;
    if (m_split) {
        m_draws.resize(m_nRounds * m_random.GetRoundSize());
        return;
    }
    m_steps.resize(m_nRounds * m_random.GetRoundSize());
    m_nImageBytes = (bh - 1) * bw + kCopyBytes;
    for (const std::vector<std::uint8_t>* basis : {&scheme.white, &scheme.black}) {
        m_images.insert(m_images.end(), basis->begin(), basis->end());
        m_images.resize(m_images.size() + m_nImageBytes - m, 0);
    }
    for (std::size_t c = 0; c < m; ++c)
        m_offsets.push_back(static_cast<std::uint32_t>(c / bw * m_nRowBytes + c % bw));
}

// A block row at a time from the order's word, four bytes a store: the next block, or the row's
// slack, takes the rest.
bool CPermutingShareMaker::LayOutTabledRow(const std::uint8_t* secret)
{
    if (!m_random.Draw(m_draws.data(), m_nRounds))
        return false;
    const auto bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t rowBytes = m_nRowBytes;
    const std::uint64_t* orders = m_orders.data();
    const std::uint32_t* draws = m_draws.data();
    std::uint8_t* cells = m_cells.data();
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        const std::uint64_t word = orders[2 * std::size_t{draws[x]} + (secret[x] == 0)];
        for (std::size_t r = 0; r < bh; ++r) {
            const auto part = static_cast<std::uint32_t>(word >> (8 * r * bw));
            std::memcpy(cells + x * bw + r * rowBytes, &part, sizeof part);
        }
    }
    return true;
}

bool CPermutingShareMaker::LayOutSplitRow(const std::uint8_t* secret)
{
    if (!m_random.Draw(m_draws.data(), m_nRounds))
        return false;
    m_split->LayOutRow(secret, m_geometry.width, m_draws.data(), m_cells.data(), m_nRowBytes);
    return true;
}

// Each block starts as its colour's basis and is shuffled where it lies (Fisher-Yates over its
// cells): any starting order gives every order alike.
bool CPermutingShareMaker::LayOutShuffledRow(const std::uint8_t* secret)
{
    if (!m_random.Draw(m_steps.data(), m_nRounds))
        return false;
    const std::size_t m = m_nColumns;
    const auto bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t rowBytes = m_nRowBytes;
    const std::uint8_t* images[2] = {m_images.data(), m_images.data() + m_nImageBytes};
    const std::uint32_t* offsets = m_offsets.data();
    const std::uint8_t* partner = m_steps.data();
    std::uint8_t* cells = m_cells.data();
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        std::uint8_t* block = cells + x * bw;
        const std::uint8_t* image = images[secret[x] == 0];
        for (std::size_t r = 0; r < bh; ++r)
            std::memcpy(block + r * rowBytes, image + r * bw, kCopyBytes);
        for (std::size_t i = m - 1; i > 0; --i, ++partner)
            std::swap(block[offsets[i]], block[offsets[*partner]]);
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
    const bool split = m_split != nullptr;
    static const cell_kernels::SpreadFn spread = cell_kernels::BestSpread();
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* secretRow = secret + (y + row) * m_geometry.SecretStride();
        if (!(tabled  ? LayOutTabledRow(secretRow)
              : split ? LayOutSplitRow(secretRow)
                      : LayOutShuffledRow(secretRow)))
            return false;
        for (int share = 0; share < m_nShares; ++share)
            for (std::size_t r = 0; r < bh; ++r)
                spread(m_cells.data() + r * m_nRowBytes, static_cast<std::uint8_t>(1u << share),
                       shares[share] + (row * bh + r) * stride, rowBytes);
    }
    return true;
}

bool CPermutingShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_geometry.height, shares);
}
