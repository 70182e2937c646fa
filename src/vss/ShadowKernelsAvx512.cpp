// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX-512 kernels (F and BW): the vector kernels on 512-bit vectors. Only these functions carry
// the target; BestKernels() calls them only on a CPU that has it.

#include "vss/ShadowKernels.h"

#if defined(__x86_64__) || defined(__i386__)

// GCC 12's AVX-512 headers trip its own uninitialised-value warnings inside target functions.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#define KVT_VECTOR_TARGET gnu::target("avx512f,avx512bw")

namespace shadow_kernels {
namespace {
using Vector = __m512i;
constexpr std::size_t kVectorBytes = 64;

// Avx512Kernels() is offered only where Avx2Kernels() is.
const Kernels& Narrower()
{
    return *Avx2Kernels();
}

// clang-format off
[[KVT_VECTOR_TARGET]] Vector Load(const void* p) { return _mm512_loadu_si512(p); }
[[KVT_VECTOR_TARGET]] void Store(void* p, Vector v) { _mm512_storeu_si512(p, v); }
[[KVT_VECTOR_TARGET]] Vector Splat32(std::uint32_t x) { return _mm512_set1_epi32(static_cast<int>(x)); }
[[KVT_VECTOR_TARGET]] Vector Splat16(std::uint16_t x) { return _mm512_set1_epi16(static_cast<short>(x)); }
[[KVT_VECTOR_TARGET]] Vector Add32(Vector a, Vector b) { return _mm512_add_epi32(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulLo32(Vector a, Vector b) { return _mm512_mullo_epi32(a, b); }
template <int bits> [[KVT_VECTOR_TARGET]] Vector ShiftRight32(Vector v) { return _mm512_srli_epi32(v, bits); }
template <int bits> [[KVT_VECTOR_TARGET]] Vector ShiftRight16(Vector v) { return _mm512_srli_epi16(v, bits); }
[[KVT_VECTOR_TARGET]] Vector Sub16(Vector a, Vector b) { return _mm512_sub_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulLo16(Vector a, Vector b) { return _mm512_mullo_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulHiU16(Vector a, Vector b) { return _mm512_mulhi_epu16(a, b); }
[[KVT_VECTOR_TARGET]] Vector And(Vector a, Vector b) { return _mm512_and_si512(a, b); }
[[KVT_VECTOR_TARGET]] Vector Or(Vector a, Vector b) { return _mm512_or_si512(a, b); }
[[KVT_VECTOR_TARGET]] Vector Xor(Vector a, Vector b) { return _mm512_xor_si512(a, b); }
[[KVT_VECTOR_TARGET]] Vector PackUs32(Vector a, Vector b) { return _mm512_packus_epi32(a, b); }
[[KVT_VECTOR_TARGET]] Vector PackUs16(Vector a, Vector b) { return _mm512_packus_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector UnpackLo8(Vector a, Vector b) { return _mm512_unpacklo_epi8(a, b); }
[[KVT_VECTOR_TARGET]] Vector UnpackHi8(Vector a, Vector b) { return _mm512_unpackhi_epi8(a, b); }
[[KVT_VECTOR_TARGET]] Vector Shuffle8(Vector table, Vector at) { return _mm512_shuffle_epi8(table, at); }
// clang-format on

// 0xFF where a byte is 0, 0 elsewhere.
[[KVT_VECTOR_TARGET]] Vector IsZero(Vector v)
{
    return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(v, _mm512_setzero_si512()));
}

// The byte-shuffle table in all four 128-bit lanes.
[[KVT_VECTOR_TARGET]] Vector Table(const ShuffleTable& table)
{
    return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

// After the two in-lane packs of four state vectors, 128-bit lane c holds the c-th group of four
// draws of each vector in turn.
[[KVT_VECTOR_TARGET]] Vector InDrawOrder(Vector packed)
{
    return _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15),
                                    packed);
}

// 8-byte groups 0, 4, 1, 5, 2, 6, 3, 7: the in-lane unpacks then give pixels 0-31 and 32-63.
[[KVT_VECTOR_TARGET]] Vector InUnpackOrder(Vector v)
{
    return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7), v);
}
}  // namespace
}  // namespace shadow_kernels

#include "vss/ShadowKernelsVector.inc"

namespace shadow_kernels {
const Kernels* Avx512Kernels()
{
    static constexpr Kernels kAvx512{"avx512", FillLcg, WriteBlockRows};
    __builtin_cpu_init();
    const bool usable = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        Avx2Kernels() != nullptr;
    return usable ? &kAvx512 : nullptr;
}
}  // namespace shadow_kernels

#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#else

namespace shadow_kernels {
const Kernels* Avx512Kernels()
{
    return nullptr;
}
}  // namespace shadow_kernels

#endif
