// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/BatchedDraws.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "vss/RandomSource.h"

namespace {
constexpr std::size_t kBufferBytes = 16 * 1024;  // whole words
constexpr std::uint64_t kMaxProduct = std::uint64_t{1} << 56;
__extension__ using Wide = unsigned __int128;  // a 64 x 64-bit product, both halves
}  // namespace

CBatchedDraws::CBatchedDraws(CRandomSource& source, std::vector<std::uint32_t> bounds)
    : m_source(source), m_bounds(std::move(bounds)), m_buffer(new std::uint8_t[kBufferBytes])
{
    std::uint64_t product = 1;
    for (std::size_t i = 0; i < m_bounds.size(); ++i) {
        const std::uint64_t bound = m_bounds[i];
        if (bound == 0)
            throw std::invalid_argument("a draw below 0");
        if (m_batches.empty() || product > kMaxProduct / bound) {
            m_batches.push_back({i, 0, 0});
            product = 1;
        }
        product *= bound;
        Batch& batch = m_batches.back();
        ++batch.count;
        batch.shortRange = (0 - product) % product;
    }
}

bool CBatchedDraws::NextWord(std::uint64_t& word)
{
    if (m_pNext == m_pEnd) {
        if (!m_source.Fill(m_buffer.get(), kBufferBytes))
            return false;
        m_pNext = m_buffer.get();
        m_pEnd = m_pNext + kBufferBytes;
    }
    std::memcpy(&word, m_pNext, sizeof word);
    m_pNext += sizeof word;
    return true;
}

std::size_t CBatchedDraws::PerWord(std::uint32_t bound)
{
    std::size_t count = 1;
    for (std::uint64_t product = bound; bound > 1 && product <= kMaxProduct / bound; product *= bound)
        ++count;
    return count;
}

// The word times bound 1 has the first number as its high half; the low half times bound 2 the
// second, and so on: the numbers are the digits of word x product / 2^64 in their bounds' mixed
// radix, and the last low half is word x product mod 2^64, which Lemire's test needs. A batch is
// drawn for several rounds at once, their multiplications interleaved, since each waits on the last.
template <std::size_t Lanes, typename Number>
bool CBatchedDraws::DrawBatch(const Batch& batch, Number* const (&rounds)[Lanes])
{
    std::uint64_t low[Lanes];
    for (std::uint64_t& word : low)
        if (!NextWord(word))
            return false;
    const std::uint32_t* bounds = m_bounds.data();
    for (std::size_t i = batch.first; i < batch.first + batch.count; ++i)
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            const Wide x = static_cast<Wide>(low[lane]) * bounds[i];
            rounds[lane][i] = static_cast<Number>(x >> 64);
            low[lane] = static_cast<std::uint64_t>(x);
        }
    for (std::size_t lane = 0; lane < Lanes; ++lane)
        if (low[lane] < batch.shortRange) {
            Number* const again[1] = {rounds[lane]};
            if (!DrawBatch(batch, again))
                return false;
        }
    return true;
}

template <typename Number>
bool CBatchedDraws::DrawRounds(Number* out, std::size_t rounds)
{
    constexpr std::size_t kLanes = 4;
    const std::size_t size = m_bounds.size();
    std::size_t r = 0;
    for (; r + kLanes <= rounds; r += kLanes) {
        Number* const lanes[kLanes] = {out + r * size, out + (r + 1) * size, out + (r + 2) * size, out + (r + 3) * size};
        for (const Batch& batch : m_batches)
            if (!DrawBatch(batch, lanes))
                return false;
    }
    for (; r < rounds; ++r) {
        Number* const lane[1] = {out + r * size};
        for (const Batch& batch : m_batches)
            if (!DrawBatch(batch, lane))
                return false;
    }
    return true;
}
bool CBatchedDraws::Draw(std::uint8_t* out, std::size_t rounds)
{
    return DrawRounds(out, rounds);
}

bool CBatchedDraws::Draw(std::uint32_t* out, std::size_t rounds)
{
    return DrawRounds(out, rounds);
}
