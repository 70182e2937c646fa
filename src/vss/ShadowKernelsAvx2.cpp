// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX2 kernels: the vector kernels on 256-bit vectors. Built without -mavx2 for the whole
// program: only these functions carry the target, and BestKernels() calls them only on a CPU that
// has it.

#include "vss/ShadowKernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define KVT_VECTOR_TARGET gnu::target("avx2")

namespace shadow_kernels {
namespace {
using Vector = __m256i;
constexpr std::size_t kVectorBytes = 32;

const Kernels& Narrower()
{
    return ScalarKernels();
}

// clang-format off
[[KVT_VECTOR_TARGET]] Vector Load(const void* p) { return _mm256_loadu_si256(static_cast<const Vector*>(p)); }
[[KVT_VECTOR_TARGET]] void Store(void* p, Vector v) { _mm256_storeu_si256(static_cast<Vector*>(p), v); }
[[KVT_VECTOR_TARGET]] Vector Splat32(std::uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
[[KVT_VECTOR_TARGET]] Vector Splat16(std::uint16_t x) { return _mm256_set1_epi16(static_cast<short>(x)); }
[[KVT_VECTOR_TARGET]] Vector Add32(Vector a, Vector b) { return _mm256_add_epi32(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulLo32(Vector a, Vector b) { return _mm256_mullo_epi32(a, b); }
template <int bits> [[KVT_VECTOR_TARGET]] Vector ShiftRight32(Vector v) { return _mm256_srli_epi32(v, bits); }
template <int bits> [[KVT_VECTOR_TARGET]] Vector ShiftRight16(Vector v) { return _mm256_srli_epi16(v, bits); }
[[KVT_VECTOR_TARGET]] Vector Sub16(Vector a, Vector b) { return _mm256_sub_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulLo16(Vector a, Vector b) { return _mm256_mullo_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector MulHiU16(Vector a, Vector b) { return _mm256_mulhi_epu16(a, b); }
[[KVT_VECTOR_TARGET]] Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
[[KVT_VECTOR_TARGET]] Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
[[KVT_VECTOR_TARGET]] Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
[[KVT_VECTOR_TARGET]] Vector PackUs32(Vector a, Vector b) { return _mm256_packus_epi32(a, b); }
[[KVT_VECTOR_TARGET]] Vector PackUs16(Vector a, Vector b) { return _mm256_packus_epi16(a, b); }
[[KVT_VECTOR_TARGET]] Vector UnpackLo8(Vector a, Vector b) { return _mm256_unpacklo_epi8(a, b); }
[[KVT_VECTOR_TARGET]] Vector UnpackHi8(Vector a, Vector b) { return _mm256_unpackhi_epi8(a, b); }
[[KVT_VECTOR_TARGET]] Vector Shuffle8(Vector table, Vector at) { return _mm256_shuffle_epi8(table, at); }
// clang-format on

// 0xFF where a byte is 0, 0 elsewhere.
[[KVT_VECTOR_TARGET]] Vector IsZero(Vector v)
{
    return _mm256_cmpeq_epi8(v, _mm256_setzero_si256());
}

// The byte-shuffle table in both 128-bit lanes.
[[KVT_VECTOR_TARGET]] Vector Table(const ShuffleTable& table)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

// The two packs of four state vectors interleave them by 4-byte groups within each 128-bit half;
// undo it.
[[KVT_VECTOR_TARGET]] Vector InDrawOrder(Vector packed)
{
    return _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// 8-byte groups in the order 0, 2, 1, 3, so that the in-lane unpacks give pixels 0-15 and 16-31.
[[KVT_VECTOR_TARGET]] Vector InUnpackOrder(Vector v)
{
    return _mm256_permute4x64_epi64(v, 0xD8);
}
}  // namespace
}  // namespace shadow_kernels

#include "vss/ShadowKernelsVector.inc"

namespace shadow_kernels {
const Kernels* Avx2Kernels()
{
    static constexpr Kernels kAvx2{"avx2", FillLcg, WriteBlockRows};
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}
}  // namespace shadow_kernels

#else

namespace shadow_kernels {
const Kernels* Avx2Kernels()
{
    return nullptr;
}
}  // namespace shadow_kernels

#endif
