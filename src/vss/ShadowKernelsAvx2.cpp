// The AVX2 kernels. Built without -mavx2 for the whole program: only these functions carry the
// target, and BestKernels() calls them only on a CPU that has it.

#include "vss/ShadowKernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <array>
#include <immintrin.h>

#include "vss/PatternSource.h"

namespace shadow_kernels {
namespace {
// 32 lanes in four vectors: lane p holds the state of draw p of a group of 32.
constexpr std::size_t kLanes = 32;

// One 16-byte lookup table per subpixel of the block, indexed by the pattern.
using SubpixelTable = std::array<std::uint8_t, 16>;
constexpr std::array<SubpixelTable, 4> kSubpixels = [] {
    std::array<SubpixelTable, 4> t{};
    for (int k = 0; k < 6; ++k) {
        t[0][k] = kPatterns[k].top[0];
        t[1][k] = kPatterns[k].top[1];
        t[2][k] = kPatterns[k].bottom[0];
        t[3][k] = kPatterns[k].bottom[1];
    }
    return t;
}();

[[gnu::target("avx2")]] __m256i Load(const std::uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

[[gnu::target("avx2")]] void Store(std::uint8_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
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

[[gnu::target("avx2")]] std::uint32_t FillLcgAvx2(std::uint32_t state, std::uint8_t* indices,
                                                  std::size_t count)
{
    const std::size_t whole = count / kLanes * kLanes;
    if (whole == 0)
        return ScalarKernels().fillLcg(state, indices, count);

    alignas(32) std::uint32_t lanes[kLanes];
    std::uint32_t s = state;
    for (std::uint32_t& lane : lanes)
        lane = s = s * CLcgPatternSource::kMultiplier + CLcgPatternSource::kIncrement;
    __m256i v0 = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes));
    __m256i v1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes + 8));
    __m256i v2 = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes + 16));
    __m256i v3 = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes + 24));

    const LcgJump jump = LcgJumpOf(kLanes);
    const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(jump.multiplier));
    const __m256i increment = _mm256_set1_epi32(static_cast<int>(jump.increment));
    // The two packs interleave the vectors by 4-byte groups within each 128-bit half; this undoes it.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (std::size_t i = 0; i < whole; i += kLanes) {
        const __m256i k = _mm256_packus_epi16(Mod6(Draws(v0, v1)), Mod6(Draws(v2, v3)));
        Store(indices + i, _mm256_permutevar8x32_epi32(k, order));
        // Four independent chains, so the multiplies overlap.
        v0 = _mm256_add_epi32(_mm256_mullo_epi32(v0, multiplier), increment);
        v1 = _mm256_add_epi32(_mm256_mullo_epi32(v1, multiplier), increment);
        v2 = _mm256_add_epi32(_mm256_mullo_epi32(v2, multiplier), increment);
        v3 = _mm256_add_epi32(_mm256_mullo_epi32(v3, multiplier), increment);
    }

    // The lanes now hold the states of the draws left over.
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), v0);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes + 8), v1);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes + 16), v2);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes + 24), v3);
    for (std::size_t t = 0; whole + t < count; ++t)
        indices[whole + t] = static_cast<std::uint8_t>(((lanes[t] >> 16) & 0x7FFF) % 6);
    return LcgAdvance(state, count);
}

[[gnu::target("avx2")]] __m256i Table(int subpixel)
{
    return _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSubpixels[subpixel].data())));
}

// Stores the subpixel pairs (left[x], right[x]) of 32 pixels, 64 bytes. The inputs carry their
// 8-byte groups in the order 0, 2, 1, 3, which makes the in-lane unpacks come out in pixel order.
[[gnu::target("avx2")]] void StorePairs(std::uint8_t* out, __m256i left, __m256i right)
{
    Store(out, _mm256_unpacklo_epi8(left, right));
    Store(out + 32, _mm256_unpackhi_epi8(left, right));
}

[[gnu::target("avx2")]] void WriteBlockRowsAvx2(const std::uint8_t* secret, const std::uint8_t* indices,
                                                std::size_t width, std::uint8_t* s1Top,
                                                std::uint8_t* s1Bottom, std::uint8_t* s2Top,
                                                std::uint8_t* s2Bottom)
{
    const __m256i topLeft = Table(0), topRight = Table(1), bottomLeft = Table(2), bottomRight = Table(3);
    std::size_t x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i k = _mm256_permute4x64_epi64(Load(indices + x), 0xD8);
        const __m256i black =
            _mm256_permute4x64_epi64(_mm256_cmpeq_epi8(Load(secret + x), _mm256_setzero_si256()), 0xD8);
        const __m256i tl = _mm256_shuffle_epi8(topLeft, k);
        const __m256i tr = _mm256_shuffle_epi8(topRight, k);
        const __m256i bl = _mm256_shuffle_epi8(bottomLeft, k);
        const __m256i br = _mm256_shuffle_epi8(bottomRight, k);
        StorePairs(s1Top + 2 * x, tl, tr);
        StorePairs(s1Bottom + 2 * x, bl, br);
        StorePairs(s2Top + 2 * x, _mm256_xor_si256(tl, black), _mm256_xor_si256(tr, black));
        StorePairs(s2Bottom + 2 * x, _mm256_xor_si256(bl, black), _mm256_xor_si256(br, black));
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
