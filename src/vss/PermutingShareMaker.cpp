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

// A tabled basis draws one order a pixel, as many to a random word as it holds; a wider one the
// three numbers of its first sixteen cells' order.
std::vector<std::uint32_t> BoundsOf(std::size_t columns, const CSplitOrders* split)
{
    if (split)
        return split->GetBounds();
    return std::vector<std::uint32_t>(CBatchedDraws::PerWord(Factorial(columns)), Factorial(columns));
}

// The partner of each shuffle step above the first sixteen cells: step i (from m - 1 down to 16)
// below i + 1.
std::vector<std::uint32_t> StepBoundsOf(std::size_t columns)
{
    std::vector<std::uint32_t> bounds;
    for (std::size_t i = columns - 1; i >= CSplitOrders::kPlaces; --i)
        bounds.push_back(static_cast<std::uint32_t>(i + 1));
    return bounds;
}
}  // namespace

CPermutingShareMaker::CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : CCellShareMaker(geometry, scheme.choice.n),
      m_nColumns(scheme.white.size()),
      m_split(m_nColumns > kMaxTabledOrderColumns
                  ? std::make_unique<CSplitOrders>(std::min(m_nColumns, CSplitOrders::kPlaces))
                  : nullptr),
      m_random(random, BoundsOf(std::max<std::size_t>(m_nColumns, 1), m_split.get()))
{
    const std::size_t m = m_nColumns;
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    if (m < 2 || m > 256 || bw > kCopyBytes || m > bw * bh || scheme.black.size() != m ||
        (m <= kMaxTabledOrderColumns && (bw > sizeof(std::uint32_t) || (bh - 1) * bw >= sizeof(std::uint64_t))))
        throw std::invalid_argument("no permuted blocks for this basis");
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
    m_draws.resize(m_nRounds * m_random.GetRoundSize());
    if (m > CSplitOrders::kPlaces) {
        m_stepRandom = std::make_unique<CBatchedDraws>(random, StepBoundsOf(m));
        m_steps.resize(m_nRounds * m_stepRandom->GetRoundSize());
    }
    // Whole 16-byte copies: the block, and each of its rows from where it starts.
    const std::size_t bytes = std::max({bw * bh, (bh - 1) * bw + kCopyBytes, CSplitOrders::kPlaces});
    m_nBlockBytes = (bytes + kCopyBytes - 1) / kCopyBytes * kCopyBytes;
    for (const std::vector<std::uint8_t>* basis : {&scheme.white, &scheme.black}) {
        m_images.insert(m_images.end(), basis->begin(), basis->end());
        m_images.resize(m_images.size() + m_nBlockBytes - m, 0);
    }
    m_blocks.resize(geometry.width * m_nBlockBytes);
}

// A block row at a time from the order's word, four bytes a store: the next block, or the row's
// slack, takes the rest.
bool CPermutingShareMaker::LayOutTabledRow(const std::uint8_t* secret, std::uint8_t* cells)
{
    if (!m_random.Draw(m_draws.data(), m_nRounds))
        return false;
    const ShareGeometry& geometry = GetGeometry();
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    const std::size_t rowBytes = GetPitch();
    const std::uint64_t* orders = m_orders.data();
    const std::uint32_t* draws = m_draws.data();
    for (std::size_t x = 0; x < geometry.width; ++x) {
        const std::uint64_t word = orders[2 * std::size_t{draws[x]} + (secret[x] == 0)];
        for (std::size_t r = 0; r < bh; ++r) {
            const auto part = static_cast<std::uint32_t>(word >> (8 * r * bw));
            std::memcpy(cells + x * bw + r * rowBytes, &part, sizeof part);
        }
    }
    return true;
}

bool CPermutingShareMaker::LayOutShuffledRow(const std::uint8_t* secret, std::uint8_t* cells)
{
    if (!m_random.Draw(m_draws.data(), m_nRounds) || (m_stepRandom && !m_stepRandom->Draw(m_steps.data(), m_nRounds)))
        return false;
    const std::size_t m = m_nColumns;
    const ShareGeometry& geometry = GetGeometry();
    const std::size_t width = geometry.width;
    const std::size_t blockBytes = m_nBlockBytes;
    const std::uint8_t* images[2] = {m_images.data(), m_images.data() + blockBytes};
    const std::uint8_t* partner = m_steps.data();
    for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t* block = m_blocks.data() + x * blockBytes;
        const std::uint8_t* image = images[secret[x] == 0];
        for (std::size_t at = 0; at < blockBytes; at += kCopyBytes)
            std::memcpy(block + at, image + at, kCopyBytes);
        for (std::size_t i = m - 1; i >= CSplitOrders::kPlaces; --i, ++partner)
            std::swap(block[i], block[*partner]);
    }
    m_split->Shuffle(m_draws.data(), m_blocks.data(), blockBytes, width);
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    const std::size_t pitch = GetPitch();
    for (std::size_t x = 0; x < width; ++x)
        for (std::size_t r = 0; r < bh; ++r)
            std::memcpy(cells + r * pitch + x * bw, m_blocks.data() + x * blockBytes + r * bw, kCopyBytes);
    return true;
}

bool CPermutingShareMaker::MakeCells(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* cells)
{
    const ShareGeometry& geometry = GetGeometry();
    const std::size_t blockRowBytes = static_cast<std::size_t>(geometry.blockHeight) * GetPitch();
    const bool tabled = !m_orders.empty();
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* secretRow = secret + (y + row) * geometry.SecretStride();
        std::uint8_t* blockRow = cells + row * blockRowBytes;
        if (!(tabled ? LayOutTabledRow(secretRow, blockRow) : LayOutShuffledRow(secretRow, blockRow)))
            return false;
    }
    return true;
}
