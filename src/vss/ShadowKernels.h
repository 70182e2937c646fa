// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of shadow generation: a plain version that runs on any CPU and vector versions
// for CPUs with AVX2 or AVX-512, picked once at run time. Every version writes the same bytes.

#include <array>
#include <cstddef>
#include <cstdint>

class CPatternSource;

namespace shadow_kernels {

// Shadow 1's 2 x 2 block for pattern k: (top-left, top-right) and (bottom-left, bottom-right).
// Each block has exactly two black (0) and two white (255) subpixels.
struct Block {
    std::uint8_t top[2];
    std::uint8_t bottom[2];
};
inline constexpr Block kPatterns[6] = {
    {{0, 255}, {0, 255}},    // left column black
    {{0, 0}, {255, 255}},    // top row black
    {{255, 0}, {255, 0}},    // right column black
    {{255, 255}, {0, 0}},    // bottom row black
    {{0, 255}, {255, 0}},    // top-left and bottom-right black
    {{255, 0}, {0, 255}},    // top-right and bottom-left black
};

// The blocks as byte-shuffle tables of the vector kernels: entry k is the left subpixel of pattern
// k, entry k + 8 the right one.
using ShuffleTable = std::array<std::uint8_t, 16>;
constexpr ShuffleTable MakeShuffleTable(bool top)
{
    ShuffleTable t{};
    for (int k = 0; k < 6; ++k) {
        const std::uint8_t* pair = top ? kPatterns[k].top : kPatterns[k].bottom;
        t[k] = pair[0];
        t[k + 8] = pair[1];
    }
    return t;
}
inline constexpr ShuffleTable kTopShuffle = MakeShuffleTable(true);
inline constexpr ShuffleTable kBottomShuffle = MakeShuffleTable(false);

// Writes indices[0..count) = draw % 6 for the next count draws of the LCG from `state` and returns
// the state after them.
using FillLcgFn = std::uint32_t (*)(std::uint32_t state, std::uint8_t* indices, std::size_t count);

// Turns one secret row of `width` pixels into two rows of 2 * width bytes in each shadow: pattern
// indices[x] in shadow 1, the same in shadow 2 where the secret pixel is not 0, its complement where
// it is 0.
using WriteBlockRowsFn = void (*)(const std::uint8_t* secret, const std::uint8_t* indices,
                                  std::size_t width, std::uint8_t* s1Top, std::uint8_t* s1Bottom,
                                  std::uint8_t* s2Top, std::uint8_t* s2Bottom);

struct Kernels {
    const char* name;
    FillLcgFn fillLcg;
    WriteBlockRowsFn writeBlockRows;
};

const Kernels& ScalarKernels();
// Null when this CPU (or this build) has no AVX2, or no AVX-512 F and BW.
const Kernels* Avx2Kernels();
const Kernels* Avx512Kernels();
// The fastest set this CPU runs; chosen on first use.
const Kernels& BestKernels();

// The LCG state after `steps` draws from `state`.
std::uint32_t LcgAdvance(std::uint32_t state, std::uint64_t steps);

// Multiplier and increment of `steps` LCG draws taken at once: state * multiplier + increment.
struct LcgJump {
    std::uint32_t multiplier;
    std::uint32_t increment;
};
LcgJump LcgJumpOf(std::uint64_t steps);

// Index scratch that WriteShadowFrame needs for rows of `width` pixels: narrow rows are filled
// several at a time, so that the cost of a fill is spread over a few thousand pixels.
std::size_t IndexScratchSize(std::size_t width);

// The shadows of one secret frame (height rows of secretStride bytes, width pixels each) into two
// zeroed frames of 2 * height rows of the shadow stride. `indices` is scratch of
// IndexScratchSize(width) bytes. False, with both frames partly written, when the source runs dry.
bool WriteShadowFrame(const Kernels& kernels, const std::uint8_t* secret, std::size_t width,
                      std::size_t height, std::size_t secretStride, CPatternSource& source,
                      std::uint8_t* indices, std::uint8_t* shadow1, std::uint8_t* shadow2);

}  // namespace shadow_kernels
