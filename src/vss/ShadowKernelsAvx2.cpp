// The AVX2 kernels. Built without -mavx2 for the whole program: only these functions carry the
// target, and BestKernels() calls them only on a CPU that has it.

#include "vss/ShadowKernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "vss/PatternSource.h"

namespace shadow_kernels {
namespace {
// Eight state vectors of eight lanes: lane p of a group of 64 draws holds the state of draw p.
// Eight independent multiply chains keep the multiplier busy despite its latency.
constexpr std::size_t kVectors = 8;
constexpr std::size_t kLanes = 8 * kVectors;

[[gnu::target("avx2")]] __m256i Load(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

[[gnu::target("avx2")]] void Store(void* p, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

[[gnu::target("avx2")]] __m256i Step(__m256i states, LcgJump jump)
{
    return _mm256_add_epi32(_mm256_mullo_epi32(states, _mm256_set1_epi32(static_cast<int>(jump.multiplier))),
                            _mm256_set1_epi32(static_cast<int>(jump.increment)));
}

// draw % 6 for 16-bit draws below 32768: draw / 6 is (draw * 43691) >> 18 exactly in that range.
[[gnu::target("avx2")]] __m256i Mod6(__m256i draws)
{
    const __m256i quotient =
        _mm256_srli_epi16(_mm256_mulhi_epu16(draws, _mm256_set1_epi16(static_cast<short>(43691))), 2);
    return _mm256_sub_epi16(draws, _mm256_mullo_epi16(quotient, _mm256_set1_epi16(6)));
}

// The 15-bit draws of two state vectors as sixteen 16-bit values (in-lane order of packus).
[[gnu::target("avx2")]] __m256i Draws(__m256i a, __m256i b)
{
    const __m256i packed = _mm256_packus_epi32(_mm256_srli_epi32(a, 16), _mm256_srli_epi32(b, 16));
    return _mm256_and_si256(packed, _mm256_set1_epi16(0x7FFF));
}

// The 32 indices of four state vectors, in draw order.
[[gnu::target("avx2")]] __m256i Indices(const __m256i* v)
{
    // The two packs interleave the vectors by 4-byte groups within each 128-bit half; undo it.
    const __m256i k = _mm256_packus_epi16(Mod6(Draws(v[0], v[1])), Mod6(Draws(v[2], v[3])));
    return _mm256_permutevar8x32_epi32(k, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

[[gnu::target("avx2")]] std::uint32_t FillLcgAvx2(std::uint32_t state, std::uint8_t* indices,
                                                  std::size_t count)
{
    const std::size_t whole = count / kLanes * kLanes;
    if (whole == 0)
        return ScalarKernels().fillLcg(state, indices, count);

    alignas(32) std::uint32_t first[8];
    std::uint32_t s = state;
    for (std::uint32_t& lane : first)
        lane = s = s * CLcgPatternSource::kMultiplier + CLcgPatternSource::kIncrement;
    __m256i v[kVectors];
    v[0] = _mm256_load_si256(reinterpret_cast<const __m256i*>(first));
    for (std::size_t j = 1; j < kVectors; ++j)
        v[j] = Step(v[0], LcgJumpOf(8 * j));

    const LcgJump jump = LcgJumpOf(kLanes);
    for (std::size_t i = 0; i < whole; i += kLanes) {
        Store(indices + i, Indices(v));
        Store(indices + i + 32, Indices(v + 4));
        for (__m256i& states : v)
            states = Step(states, jump);
    }

    // The lanes now hold the states of the draws left over.
    alignas(32) std::uint32_t rest[kLanes];
    for (std::size_t j = 0; j < kVectors; ++j)
        _mm256_store_si256(reinterpret_cast<__m256i*>(rest + 8 * j), v[j]);
    for (std::size_t t = 0; whole + t < count; ++t)
        indices[whole + t] = static_cast<std::uint8_t>(((rest[t] >> 16) & 0x7FFF) % 6);
    return LcgAdvance(state, count);
}

[[gnu::target("avx2")]] __m256i Table(const ShuffleTable& table)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

[[gnu::target("avx2")]] void WriteBlockRowsAvx2(const std::uint8_t* secret, const std::uint8_t* indices,
                                                std::size_t width, std::uint8_t* s1Top,
                                                std::uint8_t* s1Bottom, std::uint8_t* s2Top,
                                                std::uint8_t* s2Bottom)
{
    const __m256i topPairs = Table(kTopShuffle), bottomPairs = Table(kBottomShuffle);
    const __m256i right = _mm256_set1_epi16(0x0800);  // +8 on every second byte: the right subpixel
    std::size_t x = 0;
    for (; x + 32 <= width; x += 32) {
        // 8-byte groups in the order 0, 2, 1, 3, so that the in-lane unpacks come out in pixel order.
        const __m256i k = _mm256_permute4x64_epi64(Load(indices + x), 0xD8);
        const __m256i black =
            _mm256_permute4x64_epi64(_mm256_cmpeq_epi8(Load(secret + x), _mm256_setzero_si256()), 0xD8);
        // Each index twice (pixels 0-15, then 16-31), the second time aimed at the right subpixel.
        const __m256i pairs0 = _mm256_or_si256(_mm256_unpacklo_epi8(k, k), right);
        const __m256i pairs1 = _mm256_or_si256(_mm256_unpackhi_epi8(k, k), right);
        const __m256i flip0 = _mm256_unpacklo_epi8(black, black);
        const __m256i flip1 = _mm256_unpackhi_epi8(black, black);
        const __m256i top0 = _mm256_shuffle_epi8(topPairs, pairs0);
        const __m256i top1 = _mm256_shuffle_epi8(topPairs, pairs1);
        const __m256i bottom0 = _mm256_shuffle_epi8(bottomPairs, pairs0);
        const __m256i bottom1 = _mm256_shuffle_epi8(bottomPairs, pairs1);
        Store(s1Top + 2 * x, top0);
        Store(s1Top + 2 * x + 32, top1);
        Store(s1Bottom + 2 * x, bottom0);
        Store(s1Bottom + 2 * x + 32, bottom1);
        Store(s2Top + 2 * x, _mm256_xor_si256(top0, flip0));
        Store(s2Top + 2 * x + 32, _mm256_xor_si256(top1, flip1));
        Store(s2Bottom + 2 * x, _mm256_xor_si256(bottom0, flip0));
        Store(s2Bottom + 2 * x + 32, _mm256_xor_si256(bottom1, flip1));
    }
    ScalarKernels().writeBlockRows(secret + x, indices + x, width - x, s1Top + 2 * x, s1Bottom + 2 * x,
                                   s2Top + 2 * x, s2Bottom + 2 * x);
}

constexpr Kernels kAvx2{"avx2", FillLcgAvx2, WriteBlockRowsAvx2};
}  // namespace

const Kernels* Avx2Kernels()
{
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
