// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/BlockPatterns.h"

#include "measure/RevealSimilarity.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
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
      m_bits(m_nWordsPerRow * static_cast<std::size_t>(block.height) + kReadPastEnd)
{
}

namespace {
#if defined(__x86_64__)
// Where the processor has them: 32 subpixels compared at once, and bits deposited (pdep) at the
// speed of a shift, which the first two generations of AMD's Zen take many cycles over.
const bool kWideCompare = __builtin_cpu_supports("avx2");
const bool kFastDeposit =
    __builtin_cpu_supports("bmi2") && !__builtin_cpu_is("znver1") && !__builtin_cpu_is("znver2");

const bool kWidestCompare = __builtin_cpu_supports("avx512bw");
// Bytes moved to any place of a 64-byte vector and bits cut out of words at any offset.
const bool kByteShuffle = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
                         __builtin_cpu_supports("avx512vbmi");

// Bits of the row's `count` subpixels, the last word's from a masked load (no byte past the row
// read); returns how many were packed: all.
[[gnu::target("avx512f,avx512bw")]] std::size_t PackWidest(const BYTE* row, std::size_t count, std::uint64_t* bits)
{
    const __m512i zero = _mm512_setzero_si512();
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64)
        bits[i / 64] = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(row + i), zero);
    if (i < count) {
        const __mmask64 tail = (__mmask64{1} << (count - i)) - 1;
        bits[i / 64] = _mm512_mask_cmpeq_epi8_mask(tail, _mm512_maskz_loadu_epi8(tail, row + i), zero);
    }
    return count;
}

[[gnu::target("avx2")]] std::size_t PackWide(const BYTE* row, std::size_t count, std::uint64_t* bits)
{
    const __m256i zero = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i + 32));
        const auto lowMask = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, zero)));
        const auto highMask = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, zero)));
        bits[i / 64] = std::uint64_t{highMask} << 32 | lowMask;
    }
    return i;
}
#else
constexpr bool kWidestCompare = false;
constexpr bool kWideCompare = false;
constexpr bool kFastDeposit = false;
constexpr bool kByteShuffle = false;
std::size_t PackWidest(const BYTE*, std::size_t, std::uint64_t*) { return 0; }
std::size_t PackWide(const BYTE*, std::size_t, std::uint64_t*) { return 0; }
#endif
}  // namespace

void CBlockPatternReader::PackRow(const BYTE* row, std::uint64_t* bits) const
{
    const std::size_t count = static_cast<std::size_t>(m_block.width) * static_cast<std::size_t>(m_nSecretWidth);
    std::size_t i = kWidestCompare ? PackWidest(row, count, bits) : kWideCompare ? PackWide(row, count, bits) : 0;
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

#if defined(__x86_64__)
// Blocks of up to 64 subpixels: the block rows of as many pixels as fit a word deposited side by
// side in one step, then the word cut into the pixels' patterns.
[[gnu::target("bmi2")]] void AssembleDeposited(const std::uint64_t* bits, std::size_t words, int rows,
                                               unsigned width, int secretWidth, BlockPattern* patterns)
{
    const unsigned subpixels = width * static_cast<unsigned>(rows);
    const unsigned perStep = 64 / subpixels;
    const unsigned stepBits = perStep * width;
    const std::uint64_t pattern = subpixels == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << subpixels) - 1;
    std::uint64_t masks[64] = {};
    for (int r = 0; r < rows; ++r)
        for (unsigned i = 0; i < perStep; ++i)
            masks[r] |= ((std::uint64_t{2} << (width - 1)) - 1) << (i * subpixels + static_cast<unsigned>(r) * width);
    // A step's bits of a row from one unaligned load where they fit one (no branch to mispredict).
    const auto* bytes = reinterpret_cast<const unsigned char*>(bits);
    const bool byLoad = stepBits <= 57;
    const std::uint64_t stepMask = stepBits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << stepBits) - 1;
    auto rowBits = [&](int r, std::size_t at) {
        if (!byLoad)
            return BitsAt(bits + static_cast<std::size_t>(r) * words, at, stepBits);
        std::uint64_t v;
        std::memcpy(&v, bytes + static_cast<std::size_t>(r) * words * 8 + (at >> 3), sizeof v);
        return v >> (at & 7) & stepMask;
    };
    for (unsigned x = 0; x < static_cast<unsigned>(secretWidth); x += perStep) {
        std::uint64_t deposited = 0;
        for (int r = 0; r < rows; ++r)
            deposited |= _pdep_u64(rowBits(r, std::size_t{x} * width), masks[r]);
        const unsigned count = std::min(perStep, static_cast<unsigned>(secretWidth) - x);
        for (unsigned i = 0; i < count; ++i)
            patterns[x + i] = deposited >> (i * subpixels) & pattern;
    }
}

#define KVT_SHUFFLES "avx512f,avx512bw,avx512vl,avx512vbmi"

// Blocks up to 8 subpixels wide and 64 in all, eight pixels at a time. Reads up to 16 bytes from a
// row's byte at `width` x (x / 8). Blocks of up to 4 rows take every row at once: the rows' bytes
// side by side in a vector, each pixel's two bytes of every row moved into its 64-bit lane, each
// row's bits cut out into a byte of its own and the bytes closed up into the pattern. Taller blocks
// go a row at a time: each pixel's block row moved into its lane, cut out and shifted to its place.
struct BlockShuffle {
    static constexpr int kRowsTogether = 4;
    __m512i byteIndex;  // lane i: the pixel's bytes from byte i * width / 8 of the row (of each row)
    __m512i bitOffset;  // lane i: the row's bits from bit i * width % 8 of them (byte r: row r's)
    __m512i rowMask;    // the row's bits (of each row, byte r: row r's)
    __m512i placeMask[kRowsTogether];  // row r's bits in the pattern
    unsigned width;
    int rows;
    std::size_t rowBytes;
};

[[gnu::target(KVT_SHUFFLES)]] inline BlockShuffle ShuffleFor(unsigned width, int rows, std::size_t words)
{
    const bool together = rows <= BlockShuffle::kRowsTogether;
    const std::uint64_t rowBits = (std::uint64_t{1} << width) - 1;
    alignas(64) std::uint8_t index[64] = {};
    alignas(64) std::uint8_t offset[64] = {};
    std::uint64_t rowMask = rowBits;
    for (unsigned lane = 0; lane < 8; ++lane)
        for (unsigned b = 0; b < 8; ++b) {
            const unsigned row = together ? b / 2 : 0;
            index[lane * 8 + b] = static_cast<std::uint8_t>(16 * row + lane * width / 8 + (together ? b % 2 : b));
            offset[lane * 8 + b] = static_cast<std::uint8_t>((together ? 16 * b : 0) + lane * width % 8);
        }
    BlockShuffle shuffle{};
    for (int r = 1; together && r < rows; ++r)
        rowMask |= rowBits << (8 * r);
    for (int r = 0; r < BlockShuffle::kRowsTogether; ++r)
        shuffle.placeMask[r] = _mm512_set1_epi64(static_cast<long long>(rowBits << (static_cast<unsigned>(r) * width)));
    shuffle.byteIndex = _mm512_load_si512(index);
    shuffle.bitOffset = _mm512_load_si512(offset);
    shuffle.rowMask = _mm512_set1_epi64(static_cast<long long>(rowMask));
    shuffle.width = width;
    shuffle.rows = rows;
    shuffle.rowBytes = words * 8;
    return shuffle;
}

// The pixels' bytes of `rows` moved into their lanes and their bits cut out.
[[gnu::target(KVT_SHUFFLES)]] inline __m512i CutRows(const BlockShuffle& shuffle, __m512i rows)
{
    constexpr __mmask64 kAll = ~__mmask64{0};  // the masked forms: GCC 12 warns of the plain ones' undefined start
    const __m512i lanes = _mm512_maskz_permutexvar_epi8(kAll, shuffle.byteIndex, rows);
    return _mm512_and_si512(_mm512_maskz_multishift_epi64_epi8(kAll, shuffle.bitOffset, lanes), shuffle.rowMask);
}

// The patterns of the eight pixels from `x`, whose rows are packed from `bits`.
[[gnu::target(KVT_SHUFFLES)]] inline __m512i ShuffledPatterns(const BlockShuffle& shuffle, const std::uint64_t* bits,
                                                              int x)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(x / 8) * shuffle.width;
    auto rowAt = [&](int r) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + static_cast<std::size_t>(r) * shuffle.rowBytes));
    };
    if (shuffle.rows <= BlockShuffle::kRowsTogether) {
        __m512i rows = _mm512_zextsi128_si512(rowAt(0));
        for (int r = 1; r < shuffle.rows; ++r)
            rows = _mm512_mask_broadcast_i32x4(rows, static_cast<__mmask16>(0xF << (4 * r)), rowAt(r));
        const __m512i bytesOfRows = CutRows(shuffle, rows);
        __m512i pattern = _mm512_and_si512(bytesOfRows, shuffle.placeMask[0]);
        for (int r = 1; r < shuffle.rows; ++r) {
            const __m128i closeUp = _mm_cvtsi32_si128(r * (8 - static_cast<int>(shuffle.width)));
            // pattern | (bytesOfRows >> closeUp & placeMask[r])
            pattern = _mm512_ternarylogic_epi64(pattern, _mm512_maskz_srl_epi64(0xFF, bytesOfRows, closeUp),
                                                shuffle.placeMask[r], 0xF8);
        }
        return pattern;
    }
    __m512i pattern = _mm512_setzero_si512();
    for (int r = 0; r < shuffle.rows; ++r)
        pattern = _mm512_or_si512(pattern, _mm512_maskz_sll_epi64(0xFF, CutRows(shuffle, _mm512_zextsi128_si512(rowAt(r))),
                                                                  _mm_cvtsi32_si128(r * static_cast<int>(shuffle.width))));
    return pattern;
}

// Of the eight pixels from x, those before `secretWidth`.
[[gnu::target(KVT_SHUFFLES)]] inline __mmask8 PixelsFrom(int x, int secretWidth)
{
    const int left = secretWidth - x;
    return left >= 8 ? __mmask8{0xFF} : static_cast<__mmask8>((1u << left) - 1);
}

[[gnu::target(KVT_SHUFFLES)]] void AssembleShuffled(const std::uint64_t* bits, std::size_t words, int rows,
                                                    unsigned width, int secretWidth, BlockPattern* patterns)
{
    const BlockShuffle shuffle = ShuffleFor(width, rows, words);
    for (int x = 0; x < secretWidth; x += 8)
        _mm512_mask_storeu_epi64(patterns + x, PixelsFrom(x, secretWidth), ShuffledPatterns(shuffle, bits, x));
}

const bool kShuffledKeys = kByteShuffle && __builtin_cpu_supports("avx512vpopcntdq");

// The keys of a row of pixels from every share's packed rows, eight pixels at a time, the
// patterns never leaving the registers: each key, the stack and its cell are made and stored once.
[[gnu::target(KVT_SHUFFLES ",avx512vpopcntdq")]] void AssembleKeysShuffled(
    const std::uint64_t* const* bits, std::size_t shares, std::size_t words, int rows, unsigned width,
    int secretWidth, const BYTE* secretRow, std::uint64_t* keys, BlockPattern* stacked, std::uint8_t* cells)
{
    const BlockShuffle shuffle = ShuffleFor(width, rows, words);
    const unsigned patternBits = width * static_cast<unsigned>(rows);
    for (int x = 0; x < secretWidth; x += 8) {
        const __mmask8 pixels = PixelsFrom(x, secretWidth);
        const __m128i secret = _mm_maskz_loadu_epi8(pixels, secretRow + x);
        const auto black = static_cast<__mmask8>(_mm_cmpeq_epi8_mask(secret, _mm_setzero_si128()) & pixels);
        __m512i key = _mm512_maskz_mov_epi64(black, _mm512_set1_epi64(1));
        __m512i stack = _mm512_setzero_si512();
        for (std::size_t s = 0; s < shares; ++s) {
            const __m512i pattern = ShuffledPatterns(shuffle, bits[s], x);
            stack = _mm512_or_si512(stack, pattern);
            const int shift = 1 + static_cast<int>(s * patternBits);
            key = _mm512_or_si512(key, _mm512_maskz_sll_epi64(0xFF, pattern, _mm_cvtsi32_si128(shift)));
        }
        _mm512_mask_storeu_epi64(keys + x, pixels, key);
        _mm512_mask_storeu_epi64(stacked + x, pixels, stack);
        const __m128i counts = _mm512_maskz_cvtepi64_epi8(0xFF, _mm512_popcnt_epi64(stack));
        const __m128i cell = _mm_mask_blend_epi8(static_cast<__mmask16>(~black & pixels), counts,
                                                 _mm_or_si128(counts, _mm_set1_epi8(static_cast<char>(kSecretWhiteBit))));
        _mm_mask_storeu_epi8(cells + x, pixels, cell);
    }
}
#else
void AssembleDeposited(const std::uint64_t*, std::size_t, int, unsigned, int, BlockPattern*) {}
void AssembleShuffled(const std::uint64_t*, std::size_t, int, unsigned, int, BlockPattern*) {}
constexpr bool kShuffledKeys = false;
void AssembleKeysShuffled(const std::uint64_t* const*, std::size_t, std::size_t, int, unsigned, int, const BYTE*,
                          std::uint64_t*, BlockPattern*, std::uint8_t*)
{
}
#endif

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

std::size_t CBlockPatternReader::PackedFrameWords(int shareHeight) const
{
    return m_nWordsPerRow * static_cast<std::size_t>(shareHeight) + kReadPastEnd;
}

void CBlockPatternReader::PackRows(const BYTE* rows, std::size_t stride, int count, std::uint64_t* bits) const
{
    for (int r = 0; r < count; ++r, rows += stride, bits += m_nWordsPerRow)
        PackRow(rows, bits);
}

void CBlockPatternReader::UsePacked(const std::uint64_t* packedFrame, int secretRow)
{
    const std::size_t rowsWords = static_cast<std::size_t>(m_block.height) * m_nWordsPerRow;
    m_pPacked = packedFrame + static_cast<std::size_t>(secretRow) * rowsWords;
    // The next secret row's rows are asked for now, as Pack does: a frame of several shares'
    // packed rows is more than the caches hold.
    const auto* next = reinterpret_cast<const char*>(m_pPacked + rowsWords);
    for (std::size_t i = 0; i < rowsWords * sizeof(std::uint64_t); i += 64)
        __builtin_prefetch(next + i);
}

void CBlockPatternReader::Pack(const BYTE* shareFrame, std::size_t stride, int secretRow)
{
    m_pPacked = nullptr;
    const std::size_t firstRow = static_cast<std::size_t>(secretRow) * static_cast<std::size_t>(m_block.height);
    const std::size_t bytes = static_cast<std::size_t>(m_block.width) * static_cast<std::size_t>(m_nSecretWidth);
    for (int r = 0; r < m_block.height; ++r) {
        const BYTE* row = shareFrame + (firstRow + static_cast<std::size_t>(r)) * stride;
        // The next secret row's rows are asked for now: many rows of several shares are read
        // side by side, more streams than the processor follows on its own.
        const BYTE* next = row + static_cast<std::size_t>(m_block.height) * stride;
        for (std::size_t i = 0; i < bytes; i += 64)
            __builtin_prefetch(next + i);
        PackRow(row, m_bits.data() + static_cast<std::size_t>(r) * m_nWordsPerRow);
    }
}

void CBlockPatternReader::AddPackedToKeys(unsigned shift, std::uint64_t* keys, BlockPattern* stacked)
{
    const auto width = static_cast<std::size_t>(m_nSecretWidth);
    m_patterns.resize(width);
    AssemblePacked(m_patterns.data());
    for (std::size_t x = 0; x < width; ++x) {
        keys[x] |= m_patterns[x] << shift;
        stacked[x] |= m_patterns[x];
    }
}

bool CBlockPatternReader::AssembleKeys(const std::vector<CBlockPatternReader>& readers, const BYTE* secretRow,
                                       std::uint64_t* keys, BlockPattern* stacked, std::uint8_t* cells)
{
    const CBlockPatternReader& first = readers.front();
    if (!kShuffledKeys || first.m_block.width > 8 || first.m_nPatternWords != 1 || readers.size() > 8)
        return false;
    const std::uint64_t* bits[8];
    for (std::size_t s = 0; s < readers.size(); ++s)
        bits[s] = readers[s].PackedBits();
    AssembleKeysShuffled(bits, readers.size(), first.m_nWordsPerRow, first.m_block.height,
                         static_cast<unsigned>(first.m_block.width), first.m_nSecretWidth, secretRow, keys, stacked,
                         cells);
    return true;
}

void CBlockPatternReader::Read(const BYTE* shareFrame, std::size_t stride, int secretRow, BlockPattern* patterns)
{
    Pack(shareFrame, stride, secretRow);
    AssemblePacked(patterns);
}

void CBlockPatternReader::AssemblePacked(BlockPattern* patterns)
{
    const std::uint64_t* bits = PackedBits();
    if (m_nPatternWords > 1)
        return AssembleWide(bits, m_nWordsPerRow, m_block.height, static_cast<unsigned>(m_block.width),
                            m_nSecretWidth, m_nPatternWords, patterns);
    if (kByteShuffle && m_block.width <= 8)
        return AssembleShuffled(bits, m_nWordsPerRow, m_block.height, static_cast<unsigned>(m_block.width),
                                m_nSecretWidth, patterns);
    if (kFastDeposit)
        return AssembleDeposited(bits, m_nWordsPerRow, m_block.height, static_cast<unsigned>(m_block.width),
                                 m_nSecretWidth, patterns);
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
