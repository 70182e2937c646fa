// SPDX-License-Identifier: GPL-3.0-or-later
// The vector versions carry their targets alone, and the Best functions pick them only on a CPU
// that has them.
#include "vss/CellKernels.h"

#if defined(__x86_64__)
#if !defined(__clang__)
// GCC 12's AVX-512 headers trip its own uninitialised-value warnings inside target functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#endif

namespace cell_kernels {

void LookUpPlain(const std::uint8_t* table, std::uint8_t outcomes, const std::uint8_t* pixels,
                 const std::uint8_t* numbers, std::uint8_t* columns, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x)
        columns[x] = table[(pixels[x] == 0 ? outcomes : 0) + numbers[x]];
}

void LookUpSlicesPlain(const std::uint32_t* slices, std::uint32_t blackFirst, unsigned shift,
                       const std::uint8_t* pixels, const std::uint32_t* numbers, std::uint8_t* columns,
                       std::size_t width)
{
    const std::uint32_t within = (std::uint32_t{1} << shift) - 1;
    // Branch-free: a pixel's colour and the side of a run's start a number falls on are random.
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t slice = slices[(blackFirst & (0u - std::uint32_t{pixels[x] == 0})) + (numbers[x] >> shift)];
        const std::uint32_t past = 0u - std::uint32_t{(numbers[x] & within) >= slice >> 16};
        columns[x] = static_cast<std::uint8_t>(slice >> (8 & past));
    }
}

void SpreadPlain(const std::uint8_t* columns, std::uint8_t bit, std::uint8_t* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = (columns[i] & bit) != 0 ? 0 : 255;
}

#if defined(__x86_64__)
namespace {
// Each permute takes 128 entries by the index's low seven bits; its top bit picks which.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] void LookUp64(const __m512i (&quarters)[4], __m512i blackOffset,
                                                               const std::uint8_t* pixels,
                                                               const std::uint8_t* numbers, std::uint8_t* columns,
                                                               __mmask64 lanes)
{
    const __m512i pixel = _mm512_maskz_loadu_epi8(lanes, pixels);
    const __m512i number = _mm512_maskz_loadu_epi8(lanes, numbers);
    const __mmask64 black = _mm512_cmpeq_epi8_mask(pixel, _mm512_setzero_si512());
    const __m512i index = _mm512_mask_add_epi8(number, black, number, blackOffset);
    const __m512i low = _mm512_permutex2var_epi8(quarters[0], index, quarters[1]);
    const __m512i high = _mm512_permutex2var_epi8(quarters[2], index, quarters[3]);
    _mm512_mask_storeu_epi8(columns, lanes, _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high));
}

[[gnu::target("avx512f,avx512bw,avx512vbmi")]] void LookUpAvx512(const std::uint8_t* table, std::uint8_t outcomes,
                                                                   const std::uint8_t* pixels,
                                                                   const std::uint8_t* numbers,
                                                                   std::uint8_t* columns, std::size_t width)
{
    const __m512i quarters[4] = {_mm512_loadu_si512(table), _mm512_loadu_si512(table + 64),
                                 _mm512_loadu_si512(table + 128), _mm512_loadu_si512(table + 192)};
    const __m512i blackOffset = _mm512_set1_epi8(static_cast<char>(outcomes));
    std::size_t x = 0;
    for (; x + 64 <= width; x += 64)
        LookUp64(quarters, blackOffset, pixels + x, numbers + x, columns + x, ~__mmask64{0});
    if (x < width)
        LookUp64(quarters, blackOffset, pixels + x, numbers + x, columns + x, (__mmask64{1} << (width - x)) - 1);
}
[[gnu::target("avx512f,avx512bw")]] void SpreadAvx512Loop(const std::uint8_t* columns, std::uint8_t bit,
                                                         std::uint8_t* out, std::size_t count)
{
    const __m512i mask = _mm512_set1_epi8(static_cast<char>(bit));
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __mmask64 white = _mm512_testn_epi8_mask(_mm512_loadu_si512(columns + i), mask);
        _mm512_storeu_si512(out + i, _mm512_movm_epi8(white));
    }
    if (i < count) {
        const __mmask64 lanes = (__mmask64{1} << (count - i)) - 1;
        const __mmask64 white = _mm512_testn_epi8_mask(_mm512_maskz_loadu_epi8(lanes, columns + i), mask);
        _mm512_mask_storeu_epi8(out + i, lanes, _mm512_movm_epi8(white));
    }
}
[[gnu::target("avx512f,avx512bw,avx512vl")]] void LookUpSlicesLoop(const std::uint32_t* slices,
                                                                   std::uint32_t blackFirst, unsigned shift,
                                                                   const std::uint8_t* pixels,
                                                                   const std::uint32_t* numbers,
                                                                   std::uint8_t* columns, std::size_t width)
{
    const __m512i within = _mm512_set1_epi32(static_cast<int>((std::uint32_t{1} << shift) - 1));
    const __m512i black = _mm512_set1_epi32(static_cast<int>(blackFirst));
    const __m128i count = _mm_cvtsi32_si128(static_cast<int>(shift));
    std::size_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m512i number = _mm512_loadu_si512(numbers + x);
        const __mmask16 isBlack = _mm_cmpeq_epi8_mask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x)),
                                                      _mm_setzero_si128());
        __m512i index = _mm512_srl_epi32(number, count);
        index = _mm512_mask_add_epi32(index, isBlack, index, black);
        const __m512i slice = _mm512_i32gather_epi32(index, slices, 4);
        const __mmask16 past = _mm512_cmpge_epu32_mask(_mm512_and_si512(number, within), _mm512_srli_epi32(slice, 16));
        const __m512i column = _mm512_mask_srli_epi32(slice, past, slice, 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + x), _mm512_cvtepi32_epi8(column));
    }
    LookUpSlicesPlain(slices, blackFirst, shift, pixels + x, numbers + x, columns + x, width - x);
}
}  // namespace

SliceLookUpFn LookUpSlicesAvx512()
{
    __builtin_cpu_init();
    const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vl");
    return usable ? &LookUpSlicesLoop : nullptr;
}

SpreadFn SpreadAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") ? &SpreadAvx512Loop : nullptr;
}

LookUpFn LookUpVbmi()
{
    __builtin_cpu_init();
    const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vbmi");
    return usable ? &LookUpAvx512 : nullptr;
}
#else
LookUpFn LookUpVbmi()
{
    return nullptr;
}

SliceLookUpFn LookUpSlicesAvx512()
{
    return nullptr;
}

SpreadFn SpreadAvx512()
{
    return nullptr;
}
#endif

LookUpFn BestLookUp()
{
    static const LookUpFn best = LookUpVbmi() ? LookUpVbmi() : &LookUpPlain;
    return best;
}

SliceLookUpFn BestSliceLookUp()
{
    static const SliceLookUpFn best = LookUpSlicesAvx512() ? LookUpSlicesAvx512() : &LookUpSlicesPlain;
    return best;
}

SpreadFn BestSpread()
{
    static const SpreadFn best = SpreadAvx512() ? SpreadAvx512() : &SpreadPlain;
    return best;
}

}  // namespace cell_kernels

#if defined(__x86_64__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
