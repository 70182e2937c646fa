// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/BatchedDraws.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "vss/RandomSource.h"

namespace {
constexpr std::size_t kBufferBytes = 16 * 1024;  // whole words
constexpr std::uint64_t kMaxProduct = std::uint64_t{1} << 56;
__extension__ using Wide = unsigned __int128;  // a 64 x 64-bit product, both halves

// [bits 1, 2, 4][byte]: the numbers of `bits` bits a byte holds, from its top, a byte each.
using BitTables = std::array<std::array<std::uint64_t, 256>, 3>;
constexpr BitTables kBitTables = [] {
    BitTables tables{};
    for (int t = 0; t < 3; ++t) {
        const int bits = 1 << t;
        for (unsigned byte = 0; byte < 256; ++byte)
            for (int j = 0; j < 8 / bits; ++j)
                tables[static_cast<std::size_t>(t)][byte] |=
                    std::uint64_t{byte >> (8 - bits * (j + 1)) & ((1u << bits) - 1)} << (8 * j);
    }
    return tables;
}();

// Each byte of the words from the top as its PerByte numbers.
template <std::size_t PerByte, std::size_t Lanes, typename Batch, typename Number>
void SpreadBits(const std::array<std::uint64_t, 256>& table, const std::uint64_t (&words)[Lanes], const Batch& batch,
                Number* const (&rounds)[Lanes])
{
    for (std::size_t lane = 0; lane < Lanes; ++lane)
        for (std::size_t k = 0; k < batch.count / PerByte; ++k) {
            const std::uint64_t numbers = table[words[lane] >> (56 - 8 * k) & 0xFF];
            std::memcpy(rounds[lane] + batch.first + k * PerByte, &numbers, PerByte);
        }
}

int PowerBits(std::uint64_t bound)
{
    for (int bits : {1, 2, 4})
        if (bound == std::uint64_t{1} << bits)
            return bits;
    return 0;
}
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
    for (Batch& batch : m_batches) {
        const int bits = PowerBits(m_bounds[batch.first]);
        bool same = bits != 0 && batch.count * static_cast<std::size_t>(bits) % 8 == 0;
        for (std::size_t i = batch.first; same && i < batch.first + batch.count; ++i)
            same = m_bounds[i] == m_bounds[batch.first];
        batch.bits = same ? bits : 0;
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
    if constexpr (sizeof(Number) == 1) {
        // Bounds of 2^bits: the same numbers are the word's bits from the top, a byte at a time.
        if (batch.bits != 0) {
            switch (batch.bits) {
            case 1: SpreadBits<8>(kBitTables[0], low, batch, rounds); break;
            case 2: SpreadBits<4>(kBitTables[1], low, batch, rounds); break;
            default: SpreadBits<2>(kBitTables[2], low, batch, rounds); break;
            }
            return true;
        }
    }
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
