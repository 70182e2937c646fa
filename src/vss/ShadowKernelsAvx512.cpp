// The AVX-512 kernels (F and BW): the AVX2 scheme on vectors twice as wide. Only these functions
// carry the target; BestKernels() calls them only on a CPU that has it.

#include "vss/ShadowKernels.h"

#if defined(__x86_64__) || defined(__i386__)

// GCC 12's AVX-512 headers trip its own uninitialised-value warnings inside target functions.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "vss/PatternSource.h"

#define KVT_AVX512 gnu::target("avx512f,avx512bw")

namespace shadow_kernels {
namespace {
// Eight state vectors of sixteen lanes: lane p of a group of 128 draws holds the state of draw p.
constexpr std::size_t kVectors = 8;
constexpr std::size_t kLanes = 16 * kVectors;

[[KVT_AVX512]] __m512i Step(__m512i states, LcgJump jump)
{
    return _mm512_add_epi32(_mm512_mullo_epi32(states, _mm512_set1_epi32(static_cast<int>(jump.multiplier))),
                            _mm512_set1_epi32(static_cast<int>(jump.increment)));
}

// draw % 6 for 16-bit draws below 32768: draw / 6 is (draw * 43691) >> 18 exactly in that range.
[[KVT_AVX512]] __m512i Mod6(__m512i draws)
{
    const __m512i quotient =
        _mm512_srli_epi16(_mm512_mulhi_epu16(draws, _mm512_set1_epi16(static_cast<short>(43691))), 2);
    return _mm512_sub_epi16(draws, _mm512_mullo_epi16(quotient, _mm512_set1_epi16(6)));
}

[[KVT_AVX512]] __m512i Draws(__m512i a, __m512i b)
{
    const __m512i packed = _mm512_packus_epi32(_mm512_srli_epi32(a, 16), _mm512_srli_epi32(b, 16));
    return _mm512_and_si512(packed, _mm512_set1_epi16(0x7FFF));
}

// The 64 indices of four state vectors, in draw order. After the two in-lane packs, 128-bit lane c
// holds the c-th group of four draws of each vector in turn.
[[KVT_AVX512]] __m512i Indices(const __m512i* v)
{
    const __m512i k = _mm512_packus_epi16(Mod6(Draws(v[0], v[1])), Mod6(Draws(v[2], v[3])));
    return _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15), k);
}

[[KVT_AVX512]] std::uint32_t FillLcgAvx512(std::uint32_t state, std::uint8_t* indices, std::size_t count)
{
    const std::size_t whole = count / kLanes * kLanes;
    if (whole == 0)
        return Avx2Kernels()->fillLcg(state, indices, count);

    alignas(64) std::uint32_t first[16];
    std::uint32_t s = state;
    for (std::uint32_t& lane : first)
        lane = s = s * CLcgPatternSource::kMultiplier + CLcgPatternSource::kIncrement;
    __m512i v[kVectors];
    v[0] = _mm512_load_si512(first);
    for (std::size_t j = 1; j < kVectors; ++j)
        v[j] = Step(v[0], LcgJumpOf(16 * j));

    const LcgJump jump = LcgJumpOf(kLanes);
    for (std::size_t i = 0; i < whole; i += kLanes) {
        _mm512_storeu_si512(indices + i, Indices(v));
        _mm512_storeu_si512(indices + i + 64, Indices(v + 4));
        for (__m512i& states : v)
            states = Step(states, jump);
    }

    alignas(64) std::uint32_t rest[kLanes];
    for (std::size_t j = 0; j < kVectors; ++j)
        _mm512_store_si512(rest + 16 * j, v[j]);
    for (std::size_t t = 0; whole + t < count; ++t)
        indices[whole + t] = static_cast<std::uint8_t>(((rest[t] >> 16) & 0x7FFF) % 6);
    return LcgAdvance(state, count);
}

[[KVT_AVX512]] __m512i Table(const ShuffleTable& table)
{
    return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

[[KVT_AVX512]] void WriteBlockRowsAvx512(const std::uint8_t* secret, const std::uint8_t* indices,
                                         std::size_t width, std::uint8_t* s1Top, std::uint8_t* s1Bottom,
                                         std::uint8_t* s2Top, std::uint8_t* s2Bottom)
{
    const __m512i topPairs = Table(kTopShuffle), bottomPairs = Table(kBottomShuffle);
    const __m512i right = _mm512_set1_epi16(0x0800);
    // 8-byte groups 0, 4, 1, 5, 2, 6, 3, 7: the in-lane unpacks then give pixels 0-31 and 32-63.
    const __m512i order = _mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7);
    std::size_t x = 0;
    for (; x + 64 <= width; x += 64) {
        const __m512i k = _mm512_permutexvar_epi64(order, _mm512_loadu_si512(indices + x));
        const __mmask64 blackMask = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(secret + x), _mm512_setzero_si512());
        const __m512i black = _mm512_permutexvar_epi64(order, _mm512_movm_epi8(blackMask));
        const __m512i pairs0 = _mm512_or_si512(_mm512_unpacklo_epi8(k, k), right);
        const __m512i pairs1 = _mm512_or_si512(_mm512_unpackhi_epi8(k, k), right);
        const __m512i flip0 = _mm512_unpacklo_epi8(black, black);
        const __m512i flip1 = _mm512_unpackhi_epi8(black, black);
        const __m512i top0 = _mm512_shuffle_epi8(topPairs, pairs0);
        const __m512i top1 = _mm512_shuffle_epi8(topPairs, pairs1);
        const __m512i bottom0 = _mm512_shuffle_epi8(bottomPairs, pairs0);
        const __m512i bottom1 = _mm512_shuffle_epi8(bottomPairs, pairs1);
        _mm512_storeu_si512(s1Top + 2 * x, top0);
        _mm512_storeu_si512(s1Top + 2 * x + 64, top1);
        _mm512_storeu_si512(s1Bottom + 2 * x, bottom0);
        _mm512_storeu_si512(s1Bottom + 2 * x + 64, bottom1);
        _mm512_storeu_si512(s2Top + 2 * x, _mm512_xor_si512(top0, flip0));
        _mm512_storeu_si512(s2Top + 2 * x + 64, _mm512_xor_si512(top1, flip1));
        _mm512_storeu_si512(s2Bottom + 2 * x, _mm512_xor_si512(bottom0, flip0));
        _mm512_storeu_si512(s2Bottom + 2 * x + 64, _mm512_xor_si512(bottom1, flip1));
    }
    Avx2Kernels()->writeBlockRows(secret + x, indices + x, width - x, s1Top + 2 * x, s1Bottom + 2 * x,
                                  s2Top + 2 * x, s2Bottom + 2 * x);
}

constexpr Kernels kAvx512{"avx512", FillLcgAvx512, WriteBlockRowsAvx512};
}  // namespace

const Kernels* Avx512Kernels()
{
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
