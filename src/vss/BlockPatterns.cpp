#include "vss/BlockPatterns.h"

#include <algorithm>


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

CBlockPatternReader::CBlockPatternReader(BlockShape block, int secretWidth)
    : m_block(block), m_nSecretWidth(secretWidth),
      m_bits(static_cast<std::size_t>(block.width) * static_cast<std::size_t>(secretWidth) / 64 + 2)
{
}

void CBlockPatternReader::PackRow(const BYTE* row)
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
        m_bits[i / 64] = word;
    }
#endif
    for (std::size_t start = i; start < count; start += 64) {
        std::uint64_t word = 0;
        for (std::size_t j = start; j < count && j < start + 64; ++j)
            word |= std::uint64_t{row[j] == 0} << (j - start);
        m_bits[start / 64] = word;
    }
}

namespace {
// Ors the blocks' bits of one packed subpixel row into the patterns, shifted to the row's place.
template <unsigned Width>
void OrRow(const std::uint64_t* bits, int secretWidth, unsigned shift, BlockPattern* patterns)
{
    constexpr std::uint64_t mask = (std::uint64_t{1} << Width) - 1;
    constexpr unsigned perWord = 64 / Width;
    for (int x = 0; x < secretWidth; ++x) {
        const auto i = static_cast<unsigned>(x);
        patterns[x] |= (bits[i / perWord] >> (i % perWord * Width) & mask) << shift;
    }
}

void OrRowAnyWidth(const std::uint64_t* bits, int secretWidth, unsigned width, unsigned shift, BlockPattern* patterns)
{
    const std::uint64_t mask = width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    for (int x = 0; x < secretWidth; ++x) {
        const std::size_t offset = static_cast<std::size_t>(x) * width;
        const unsigned bit = offset & 63;
        std::uint64_t v = bits[offset >> 6] >> bit;
        if (bit + width > 64)
            v |= bits[(offset >> 6) + 1] << (64 - bit);
        patterns[x] |= (v & mask) << shift;
    }
}
}  // namespace

void CBlockPatternReader::Read(const BYTE* shareFrame, std::size_t stride, int secretRow, BlockPattern* patterns)
{
    const auto width = static_cast<unsigned>(m_block.width);
    std::fill(patterns, patterns + m_nSecretWidth, BlockPattern{0});
    for (int r = 0; r < m_block.height; ++r) {
        const std::size_t shareRow = static_cast<std::size_t>(secretRow) * static_cast<std::size_t>(m_block.height) +
                                     static_cast<std::size_t>(r);
        PackRow(shareFrame + shareRow * stride);
        const unsigned shift = static_cast<unsigned>(r) * width;
        switch (width) {
        case 1: OrRow<1>(m_bits.data(), m_nSecretWidth, shift, patterns); break;
        case 2: OrRow<2>(m_bits.data(), m_nSecretWidth, shift, patterns); break;
        case 4: OrRow<4>(m_bits.data(), m_nSecretWidth, shift, patterns); break;
        default: OrRowAnyWidth(m_bits.data(), m_nSecretWidth, width, shift, patterns); break;
        }
    }
}
