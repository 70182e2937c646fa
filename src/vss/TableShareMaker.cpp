// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/TableShareMaker.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {
// The cells of every share for one outcome, appended to `cells`: the columns in `order`, then
// white padding.
void AddOutcome(const std::vector<std::uint8_t>& columns, const std::vector<int>& order, int shares,
                std::size_t blockCells, std::vector<std::uint8_t>& cells)
{
    for (int share = 0; share < shares; ++share)
        for (std::size_t cell = 0; cell < blockCells; ++cell) {
            const bool black = cell < order.size() && (columns[order[cell]] >> share & 1) != 0;
            cells.push_back(black ? 0 : 255);
        }
}

// A pixel's first outcome: 0 for white, `blackFirst` for black, without a branch the random
// pixels of a secret would mispredict.
std::uint32_t FirstOutcome(std::uint8_t pixel, std::uint32_t blackFirst)
{
    return blackFirst & (0u - static_cast<std::uint32_t>(pixel == 0));
}
}  // namespace

CTableShareMaker::CTableShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry), m_nShares(scheme.choice.n), m_draws(geometry.width), m_uniform(random)
{
    const auto blockCells = static_cast<std::size_t>(geometry.blockWidth * geometry.blockHeight);
    std::vector<std::uint8_t> cells;  // [colour][outcome][share][cell], white outcomes first
    for (const std::vector<std::uint8_t>* columns : {&scheme.white, &scheme.black}) {
        std::vector<int> order(columns->size());
        std::iota(order.begin(), order.end(), 0);
        do
            AddOutcome(*columns, order, m_nShares, blockCells, cells);
        while (++m_nOutcomes, std::next_permutation(order.begin(), order.end()));
    }
    m_nOutcomes /= 2;
    TableRuns(cells);
}

// Pairs of pixels where their keys are few enough, single pixels otherwise, and every run's bytes.
void CTableShareMaker::TableRuns(const std::vector<std::uint8_t>& cells)
{
    const std::size_t outcomes = 2 * std::size_t{m_nOutcomes};
    const auto bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const bool pairs = outcomes * outcomes <= kMaxRunKeys && 2 * bw <= sizeof(std::uint64_t);
    m_nRun = pairs ? 2 : 1;
    m_nKeys = pairs ? outcomes * outcomes : outcomes;
    const std::size_t outcomeBytes = bw * bh * static_cast<std::size_t>(m_nShares);
    m_runs.assign(static_cast<std::size_t>(m_nShares) * bh * m_nKeys, 0);
    for (std::size_t key = 0; key < m_nKeys; ++key)
        for (int share = 0; share < m_nShares; ++share)
            for (std::size_t r = 0; r < bh; ++r) {
                std::uint8_t bytes[sizeof(std::uint64_t)] = {};
                // The first pixel of a run is the key's most significant digit.
                std::size_t rest = key;
                for (int i = m_nRun - 1; i >= 0; --i, rest /= outcomes) {
                    const std::uint8_t* block = cells.data() + rest % outcomes * outcomeBytes +
                                                static_cast<std::size_t>(share) * bw * bh;
                    std::memcpy(bytes + static_cast<std::size_t>(i) * bw, block + r * bw, bw);
                }
                std::memcpy(&m_runs[(static_cast<std::size_t>(share) * bh + r) * m_nKeys + key], bytes, sizeof bytes);
            }
    m_keys.resize((m_geometry.width + static_cast<std::size_t>(m_nRun) - 1) / static_cast<std::size_t>(m_nRun));
    switch (static_cast<std::size_t>(m_nRun) * bw) {
    case 2: m_writeRow = &CTableShareMaker::WriteRuns<2>; break;
    case 3: m_writeRow = &CTableShareMaker::WriteRuns<3>; break;
    case 4: m_writeRow = &CTableShareMaker::WriteRuns<4>; break;
    default: m_writeRow = &CTableShareMaker::WriteRuns<6>; break;  // blocks are at most 3 wide
    }
}

// The row's pixels as keys of runs, each pixel's outcome (black ones after the white) a digit; then
// every row of every share, a run at a time.
template <std::size_t RunBytes>
void CTableShareMaker::WriteRuns(const std::uint8_t* secret, std::size_t y, std::uint8_t* const* shares)
{
    const std::size_t width = m_geometry.width;
    const auto run = static_cast<std::size_t>(m_nRun);
    const std::uint32_t outcomes = 2 * m_nOutcomes;
    const std::uint16_t* draws = m_draws.data();
    for (std::size_t k = 0, x = 0; k < m_keys.size(); ++k) {
        std::uint32_t key = 0;
        for (std::size_t i = 0; i < run; ++i, ++x) {
            const std::uint32_t outcome = x < width ? FirstOutcome(secret[x], m_nOutcomes) + draws[x] : 0;
            key = key * outcomes + outcome;
        }
        m_keys[k] = static_cast<std::uint16_t>(key);
    }

    const std::size_t stride = m_geometry.ShareStride();
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t rowBytes = m_geometry.ShareWidth();
    const std::size_t whole = rowBytes / RunBytes;  // runs written whole; the last may be short
    const std::uint16_t* keys = m_keys.data();
    for (int share = 0; share < m_nShares; ++share)
        for (std::size_t r = 0; r < bh; ++r) {
            const std::uint64_t* runs = m_runs.data() + (static_cast<std::size_t>(share) * bh + r) * m_nKeys;
            std::uint8_t* out = shares[share] + (y * bh + r) * stride;
            for (std::size_t k = 0; k < whole; ++k)
                std::memcpy(out + k * RunBytes, &runs[keys[k]], RunBytes);
            if (whole * RunBytes < rowBytes)
                std::memcpy(out + whole * RunBytes, &runs[keys[whole]], rowBytes - whole * RunBytes);
        }
}

bool CTableShareMaker::MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows,
                                std::uint8_t* const* shares)
{
    for (std::size_t row = 0; row < rows; ++row) {
        if (!m_uniform.Draw(m_draws.data(), m_draws.size(), m_nOutcomes))
            return false;
        (this->*m_writeRow)(secret + (y + row) * m_geometry.SecretStride(), row, shares);
    }
    return true;
}

bool CTableShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_geometry.height, shares);
}
