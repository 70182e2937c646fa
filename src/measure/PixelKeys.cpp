// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/PixelKeys.h"

#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "measure/RevealSimilarity.h"

namespace {
#if defined(__x86_64__)
const bool kVectorBitCounts = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                              __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vpopcntdq");
#define KVT_WIDE_VECTORS [[gnu::target("avx512f,avx512vl,avx512bw,avx512vpopcntdq,prefer-vector-width=512")]]
#else
constexpr bool kVectorBitCounts = false;
#define KVT_WIDE_VECTORS
#endif

// The loops, inlined into a build for each kind of processor.
[[gnu::always_inline]] inline void StartKeysLoop(const PixelKeyLayout& layout, const BYTE* secretRow,
                                                 std::uint64_t* keys, BlockPattern* stacked)
{
    for (std::size_t x = 0; x < layout.width; ++x) {
        keys[x] = secretRow[x] == 0;
        stacked[x] = 0;
    }
}

[[gnu::always_inline]] inline void CountCellsLoop(const PixelKeyLayout& layout, const BYTE* secretRow,
                                                  const BlockPattern* stacked, std::uint8_t* cells)
{
    for (std::size_t x = 0; x < layout.width; ++x)
        cells[x] = static_cast<std::uint8_t>(std::popcount(stacked[x]) | (secretRow[x] == 0 ? 0 : kSecretWhiteBit));
}

[[gnu::always_inline]] inline CrawlCounts CompareLoops(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                                       const BlockPattern* stacked, std::uint64_t* previous,
                                                       std::uint64_t* differences, BlockPattern* before)
{
    const std::size_t width = layout.width;
    const BlockPattern mask = (BlockPattern{1} << layout.bits) - 1;
    for (std::size_t x = 0; x < width; ++x)
        before[x] = 0;
    for (std::size_t s = 0; s < layout.shares; ++s) {
        const unsigned shift = 1 + static_cast<unsigned>(s) * layout.bits;
        for (std::size_t x = 0; x < width; ++x)
            before[x] |= previous[x] >> shift & mask;
    }
    CrawlCounts crawl;
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint64_t difference = keys[x] ^ previous[x];
        const std::uint64_t kept = ~difference & 1;
        differences[x] = difference;
        previous[x] = keys[x];
        crawl.changed += kept * static_cast<std::uint64_t>(std::popcount(before[x] ^ stacked[x]));
        crawl.compared += kept;
    }
    return crawl;
}

[[gnu::always_inline]] inline void ChangeRowLoop(const PixelKeyLayout& layout, const std::uint64_t* differences,
                                                 std::size_t share, std::uint32_t* rows)
{
    const std::uint64_t mask = (std::uint64_t{1} << layout.bits) - 1;
    const unsigned shift = 1 + static_cast<unsigned>(share) * layout.bits;
    for (std::size_t x = 0; x < layout.width; ++x)
        rows[x] = static_cast<std::uint32_t>((differences[x] & 1) << layout.bits | (differences[x] >> shift & mask));
}

KVT_WIDE_VECTORS void StartKeysWide(const PixelKeyLayout& layout, const BYTE* secretRow, std::uint64_t* keys,
                                    BlockPattern* stacked)
{
    StartKeysLoop(layout, secretRow, keys, stacked);
}

KVT_WIDE_VECTORS void CountCellsWide(const PixelKeyLayout& layout, const BYTE* secretRow, const BlockPattern* stacked,
                                     std::uint8_t* cells)
{
    CountCellsLoop(layout, secretRow, stacked, cells);
}

#if defined(__x86_64__)
// The compare in one pass, eight pixels at a time: each previous key read once, its stack made in
// the registers.
KVT_WIDE_VECTORS CrawlCounts CompareWide(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                         const BlockPattern* stacked, std::uint64_t* previous,
                                         std::uint64_t* differences, std::uint32_t* changeRows)
{
    const __m512i mask = _mm512_set1_epi64(static_cast<long long>((BlockPattern{1} << layout.bits) - 1));
    const __m512i one = _mm512_set1_epi64(1);
    const __m128i bits = _mm_cvtsi32_si128(static_cast<int>(layout.bits));
    __m512i changed = _mm512_setzero_si512();
    std::uint64_t compared = 0;
    for (std::size_t x = 0; x < layout.width; x += 8) {
        const std::size_t left = layout.width - x;
        const auto pixels = static_cast<__mmask8>(left >= 8 ? 0xFF : (1u << left) - 1);
        // The next row's keys are asked for now: the history is far larger than the caches.
        _mm_prefetch(reinterpret_cast<const char*>(previous + x + layout.width), _MM_HINT_T0);
        const __m512i key = _mm512_maskz_loadu_epi64(pixels, keys + x);
        const __m512i before = _mm512_maskz_loadu_epi64(pixels, previous + x);
        __m512i beforeStack = _mm512_setzero_si512();
        for (std::size_t s = 0; s < layout.shares; ++s) {
            const __m128i shift = _mm_cvtsi32_si128(1 + static_cast<int>(s * layout.bits));
            // beforeStack | (before >> shift & mask); the masked shift: GCC 12 warns of the plain one's undefined start
            beforeStack =
                _mm512_ternarylogic_epi64(beforeStack, _mm512_maskz_srl_epi64(0xFF, before, shift), mask, 0xF8);
        }
        const __m512i difference = _mm512_xor_si512(key, before);
        _mm512_mask_storeu_epi64(differences + x, pixels, difference);
        _mm512_mask_storeu_epi64(previous + x, pixels, key);
        if (changeRows) {
            const __m512i secretChanged = _mm512_maskz_sll_epi64(0xFF, _mm512_and_si512(difference, one), bits);
            for (std::size_t s = 0; s < layout.shares; ++s) {
                const __m128i shift = _mm_cvtsi32_si128(1 + static_cast<int>(s * layout.bits));
                // secretChanged | (difference >> shift & mask)
                const __m512i row = _mm512_ternarylogic_epi64(
                    secretChanged, _mm512_maskz_srl_epi64(0xFF, difference, shift), mask, 0xF8);
                _mm512_mask_cvtepi64_storeu_epi32(changeRows + s * layout.width + x, pixels, row);
            }
        }
        const __mmask8 kept = _mm512_mask_testn_epi64_mask(pixels, difference, one);
        const __m512i stack = _mm512_maskz_loadu_epi64(pixels, stacked + x);
        changed = _mm512_mask_add_epi64(changed, kept, changed, _mm512_popcnt_epi64(_mm512_xor_si512(beforeStack, stack)));
        compared += static_cast<std::uint64_t>(std::popcount(static_cast<unsigned>(kept)));
    }
    alignas(64) std::uint64_t lanes[8];
    _mm512_store_si512(lanes, changed);
    std::uint64_t sum = 0;
    for (const std::uint64_t lane : lanes)
        sum += lane;
    return {sum, compared};
}
#endif

}  // namespace

void StartPixelKeys(const PixelKeyLayout& layout, const BYTE* secretRow, std::uint64_t* keys, BlockPattern* stacked)
{
    if (kVectorBitCounts)
        return StartKeysWide(layout, secretRow, keys, stacked);
    StartKeysLoop(layout, secretRow, keys, stacked);
}

void CountCells(const PixelKeyLayout& layout, const BYTE* secretRow, const BlockPattern* stacked,
                std::uint8_t* cells)
{
    if (kVectorBitCounts)
        return CountCellsWide(layout, secretRow, stacked, cells);
    CountCellsLoop(layout, secretRow, stacked, cells);
}

CrawlCounts CompareWithPrevious(const PixelKeyLayout& layout, const std::uint64_t* keys, const BlockPattern* stacked,
                                std::uint64_t* previous, std::uint64_t* differences, BlockPattern* scratch,
                                std::uint32_t* changeRows)
{
#if defined(__x86_64__)
    if (kVectorBitCounts)
        return CompareWide(layout, keys, stacked, previous, differences, changeRows);
#endif
    return CompareWithPreviousPlain(layout, keys, stacked, previous, differences, scratch, changeRows);
}

CrawlCounts CompareWithPreviousPlain(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                     const BlockPattern* stacked, std::uint64_t* previous, std::uint64_t* differences,
                                     BlockPattern* scratch, std::uint32_t* changeRows)
{
    const CrawlCounts crawl = CompareLoops(layout, keys, stacked, previous, differences, scratch);
    for (std::size_t s = 0; changeRows && s < layout.shares; ++s)
        ChangeRowLoop(layout, differences, s, changeRows + s * layout.width);
    return crawl;
}
