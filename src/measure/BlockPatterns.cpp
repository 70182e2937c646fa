// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/BlockPatterns.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::optional<BlockShape> DeriveBlockShape(int secretWidth, int secretHeight, int shareWidth, int shareHeight)
{
    if (secretWidth <= 0 || secretHeight <= 0 || shareWidth < secretWidth || shareHeight < secretHeight ||
        shareWidth % secretWidth != 0 || shareHeight % secretHeight != 0)
        return std::nullopt;
    return BlockShape{shareWidth / secretWidth, shareHeight / secretHeight};
}

void StackPatterns(const BlockPattern* const* rows, std::size_t rowCount, std::size_t words, BlockPattern* stacked)
{
    std::copy(rows[0], rows[0] + words, stacked);
    for (std::size_t r = 1; r < rowCount; ++r)
        for (std::size_t i = 0; i < words; ++i)
            stacked[i] |= rows[r][i];
}

CBlockPatternReader::CBlockPatternReader(BlockShape block, int secretWidth)
    : m_block(block), m_nSecretWidth(secretWidth),
      m_nWordsPerRow(static_cast<std::size_t>(block.width) * static_cast<std::size_t>(secretWidth) / 64 + 2),
      m_nPatternWords(static_cast<std::size_t>(block.Words())),
      m_bits(m_nWordsPerRow * static_cast<std::size_t>(block.height))
{
}

void CBlockPatternReader::PackRow(const BYTE* row, std::uint64_t* bits) const
{
    const std::size_t count = static_cast<std::size_t>(m_block.width) * static_cast<std::size_t>(m_nSecretWidth);
    std::size_t i = 0;
#if defined(__SSE2__)
    // 64 subpixels a word, 16 compared at once.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 64 <= count; i += 64) {
        std::uint64_t word = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i + 16 * part));
            const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero)));
            word |= std::uint64_t{mask} << (16 * part);
        }
        bits[i / 64] = word;
    }
#endif
    for (std::size_t start = i; start < count; start += 64) {
        std::uint64_t word = 0;
        for (std::size_t j = start; j < count && j < start + 64; ++j)
            word |= std::uint64_t{row[j] == 0} << (j - start);
        bits[start / 64] = word;
    }
}

namespace {
// The blocks of `rows` packed rows of `words` words each, blocks `Width` subpixels wide.
template <unsigned Width>
void Assemble(const std::uint64_t* bits, std::size_t words, int rows, int secretWidth, BlockPattern* patterns)
{
    constexpr std::uint64_t mask = (std::uint64_t{1} << Width) - 1;
    constexpr unsigned perWord = 64 / Width;
    for (int x = 0; x < secretWidth; ++x) {
        const auto i = static_cast<unsigned>(x);
        const std::uint64_t* row = bits + i / perWord;
        BlockPattern pattern = 0;
        for (int r = 0; r < rows; ++r, row += words)
            pattern |= (*row >> (i % perWord * Width) & mask) << (static_cast<unsigned>(r) * Width);
        patterns[x] = pattern;
    }
}

// `count` bits (at most 64) from bit `at` of `bits`.
std::uint64_t BitsAt(const std::uint64_t* bits, std::size_t at, unsigned count)
{
    const unsigned shift = at & 63;
    std::uint64_t v = bits[at >> 6] >> shift;
    if (shift + count > 64)
        v |= bits[(at >> 6) + 1] << (64 - shift);
    return count == 64 ? v : v & ((std::uint64_t{1} << count) - 1);
}

// Blocks of more than 64 subpixels, `words` words a pattern: each block row's bits copied in
// pieces of at most 64.
void AssembleWide(const std::uint64_t* bits, std::size_t rowWords, int rows, unsigned width, int secretWidth,
                  std::size_t words, BlockPattern* patterns)
{
    std::fill(patterns, patterns + static_cast<std::size_t>(secretWidth) * words, BlockPattern{0});
    for (int x = 0; x < secretWidth; ++x) {
        BlockPattern* pattern = patterns + static_cast<std::size_t>(x) * words;
        for (int r = 0; r < rows; ++r) {
            const std::uint64_t* row = bits + static_cast<std::size_t>(r) * rowWords;
            for (unsigned done = 0; done < width;) {
                const unsigned count = std::min(64u, width - done);
                const std::uint64_t v = BitsAt(row, static_cast<std::size_t>(x) * width + done, count);
                const std::size_t to = static_cast<std::size_t>(r) * width + done;
                const unsigned shift = to & 63;
                pattern[to >> 6] |= v << shift;
                if (shift + count > 64)
                    pattern[(to >> 6) + 1] |= v >> (64 - shift);
                done += count;
            }
        }
    }
}

// Blocks of up to 57 subpixels a row: each block row from one unaligned 8-byte load.
template <unsigned Width>
void AssembleByBytes(const std::uint64_t* bits, std::size_t words, int rows, int secretWidth, BlockPattern* patterns)
{
    static_assert(std::endian::native == std::endian::little, "the packed rows are read as one bit stream");
    constexpr std::uint64_t mask = (std::uint64_t{1} << Width) - 1;
    const auto* bytes = reinterpret_cast<const unsigned char*>(bits);
    const std::size_t rowBytes = words * 8;
    for (int x = 0; x < secretWidth; ++x) {
        const std::size_t offset = static_cast<std::size_t>(x) * Width;
        BlockPattern pattern = 0;
        for (int r = 0; r < rows; ++r) {
            std::uint64_t v;
            std::memcpy(&v, bytes + static_cast<std::size_t>(r) * rowBytes + (offset >> 3), sizeof v);
            pattern |= (v >> (offset & 7) & mask) << (static_cast<unsigned>(r) * Width);
        }
        patterns[x] = pattern;
    }
}

void AssembleAnyWidth(const std::uint64_t* bits, std::size_t words, int rows, unsigned width, int secretWidth,
                      BlockPattern* patterns)
{
    const std::uint64_t mask = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    for (int x = 0; x < secretWidth; ++x) {
        const std::size_t offset = static_cast<std::size_t>(x) * width;
        const unsigned bit = offset & 63;
        BlockPattern pattern = 0;
        for (int r = 0; r < rows; ++r) {
            const std::uint64_t* row = bits + static_cast<std::size_t>(r) * words + (offset >> 6);
            std::uint64_t v = row[0] >> bit;
            if (bit + width > 64)
                v |= row[1] << (64 - bit);
            pattern |= (v & mask) << (static_cast<unsigned>(r) * width);
        }
        patterns[x] = pattern;
    }
}
}  // namespace

void CBlockPatternReader::Read(const BYTE* shareFrame, std::size_t stride, int secretRow, BlockPattern* patterns)
{
    const std::size_t firstRow = static_cast<std::size_t>(secretRow) * static_cast<std::size_t>(m_block.height);
    for (int r = 0; r < m_block.height; ++r)
        PackRow(shareFrame + (firstRow + static_cast<std::size_t>(r)) * stride,
                m_bits.data() + static_cast<std::size_t>(r) * m_nWordsPerRow);
    const std::uint64_t* bits = m_bits.data();
    if (m_nPatternWords > 1)
        return AssembleWide(bits, m_nWordsPerRow, m_block.height, static_cast<unsigned>(m_block.width),
                            m_nSecretWidth, m_nPatternWords, patterns);
    switch (m_block.width) {
    case 1: Assemble<1>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    case 2: Assemble<2>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    case 3: AssembleByBytes<3>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    case 4: Assemble<4>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    case 5: AssembleByBytes<5>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    case 6: AssembleByBytes<6>(bits, m_nWordsPerRow, m_block.height, m_nSecretWidth, patterns); break;
    default:
        AssembleAnyWidth(bits, m_nWordsPerRow, m_block.height, static_cast<unsigned>(m_block.width), m_nSecretWidth,
                         patterns);
    }
}
