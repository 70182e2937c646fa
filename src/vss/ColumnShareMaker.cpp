// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ColumnShareMaker.h"

#include <algorithm>
#include <stdexcept>

#include "vss/CellKernels.h"

namespace {
std::uint32_t OutcomesOf(const Scheme& scheme)
{
    if (scheme.layout != SchemeLayout::OneColumn || scheme.white.empty() ||
        scheme.black.size() != scheme.white.size() || scheme.white.size() > std::uint64_t{1} << 32)
        throw std::invalid_argument("no columns for this scheme");
    return static_cast<std::uint32_t>(scheme.white.size());
}

std::size_t RoundsOf(std::size_t width, std::size_t perRound)
{
    return (width + perRound - 1) / perRound;
}
}  // namespace

CColumnShareMaker::CColumnShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : CCellShareMaker(geometry, scheme.choice.n),
      m_nOutcomes(OutcomesOf(scheme)),
      m_columns(scheme.white),
      m_random(random, std::vector<std::uint32_t>(CBatchedDraws::PerWord(m_nOutcomes), m_nOutcomes))
{
    m_nRounds = RoundsOf(geometry.width, m_random.GetRoundSize());
    if (m_nOutcomes <= cell_kernels::kMaxOutcomes)
        m_byteDraws.resize(m_nRounds * m_random.GetRoundSize());
    else
        m_draws.resize(m_nRounds * m_random.GetRoundSize());
    m_columns.insert(m_columns.end(), scheme.black.begin(), scheme.black.end());
    m_columns.resize(std::max(m_columns.size(), cell_kernels::kTableBytes), 0);
    if (m_nOutcomes > cell_kernels::kMaxOutcomes) {
        SliceLists();
        // The slices stand for the lists from here on.
        m_columns.clear();
        m_columns.shrink_to_fit();
    }
}

void CColumnShareMaker::SliceLists()
{
    constexpr unsigned kLongestSliceShift = 6;  // slices of 64 columns at most
    const std::uint8_t* lists[2] = {m_columns.data(), m_columns.data() + m_nOutcomes};
    std::uint32_t shortest = m_nOutcomes;
    for (const std::uint8_t* list : lists)
        for (std::uint32_t start = 0, i = 1; i <= m_nOutcomes; ++i)
            if (i == m_nOutcomes || list[i] != list[start]) {
                shortest = std::min(shortest, i - start);
                start = i;
            }
    while (m_nSliceShift < kLongestSliceShift && std::uint32_t{2} << m_nSliceShift <= shortest)
        ++m_nSliceShift;
    const std::uint32_t size = std::uint32_t{1} << m_nSliceShift;
    for (const std::uint8_t* list : lists)
        for (std::uint32_t at = 0; at < m_nOutcomes; at += size) {
            const std::uint32_t end = std::min(at + size, m_nOutcomes);
            std::uint32_t start = size;
            for (std::uint32_t i = at + 1; i < end; ++i)
                if (list[i] != list[at]) {
                    start = i - at;
                    break;
                }
            m_slices.push_back(std::uint32_t{list[at]} | std::uint32_t{list[end - 1]} << 8 | start << 16);
        }
}

bool CColumnShareMaker::LookUpRow(const std::uint8_t* pixels, std::uint8_t* cells)
{
    const std::size_t width = GetGeometry().width;
    if (m_nOutcomes <= cell_kernels::kMaxOutcomes) {
        if (!m_random.Draw(m_byteDraws.data(), m_nRounds))
            return false;
        static const cell_kernels::LookUpFn lookUp = cell_kernels::BestLookUp();
        lookUp(m_columns.data(), static_cast<std::uint8_t>(m_nOutcomes), pixels, m_byteDraws.data(),
               cells, width);
        return true;
    }
    if (!m_random.Draw(m_draws.data(), m_nRounds))
        return false;
    static const cell_kernels::SliceLookUpFn lookUp = cell_kernels::BestSliceLookUp();
    lookUp(m_slices.data(), static_cast<std::uint32_t>(m_slices.size() / 2), m_nSliceShift, pixels, m_draws.data(),
           cells, width);
    return true;
}

bool CColumnShareMaker::MakeCells(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* cells)
{
    const std::size_t stride = GetGeometry().SecretStride();
    for (std::size_t row = 0; row < rows; ++row)
        if (!LookUpRow(secret + (y + row) * stride, cells + row * GetPitch()))
            return false;
    return true;
}
