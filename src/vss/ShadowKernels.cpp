// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShadowKernels.h"

#include <algorithm>
#include <cstring>

#include "vss/PatternSource.h"

namespace shadow_kernels {
namespace {
std::uint32_t FillLcgScalar(std::uint32_t state, std::uint8_t* indices, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        state = state * CLcgPatternSource::kMultiplier + CLcgPatternSource::kIncrement;
        indices[i] = static_cast<std::uint8_t>(((state >> 16) & 0x7FFF) % 6);
    }
    return state;
}

struct PairTable {
    std::uint16_t top[6];
    std::uint16_t bottom[6];
};

// The blocks as 16-bit words, so that each subpixel pair is one store.
constexpr PairTable kPairs = [] {
    PairTable t{};
    for (int k = 0; k < 6; ++k) {
        t.top[k] = static_cast<std::uint16_t>(kPatterns[k].top[0] | kPatterns[k].top[1] << 8);
        t.bottom[k] = static_cast<std::uint16_t>(kPatterns[k].bottom[0] | kPatterns[k].bottom[1] << 8);
    }
    return t;
}();

void Store16(std::uint8_t* out, std::uint16_t value)
{
    std::memcpy(out, &value, sizeof value);
}

void WriteBlockRowsScalar(const std::uint8_t* secret, const std::uint8_t* indices, std::size_t width,
                          std::uint8_t* s1Top, std::uint8_t* s1Bottom, std::uint8_t* s2Top,
                          std::uint8_t* s2Bottom)
{
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint16_t top = kPairs.top[indices[x]];
        const std::uint16_t bottom = kPairs.bottom[indices[x]];
        const std::uint16_t flip = secret[x] == 0 ? 0xFFFF : 0;  // black pixel: complement
        Store16(s1Top + 2 * x, top);
        Store16(s1Bottom + 2 * x, bottom);
        Store16(s2Top + 2 * x, top ^ flip);
        Store16(s2Bottom + 2 * x, bottom ^ flip);
    }
}

constexpr Kernels kScalar{"scalar", FillLcgScalar, WriteBlockRowsScalar};
}  // namespace

const Kernels& ScalarKernels()
{
    return kScalar;
}

const Kernels& BestKernels()
{
    static const Kernels& best = Avx512Kernels() ? *Avx512Kernels()
                                 : Avx2Kernels() ? *Avx2Kernels()
                                                 : ScalarKernels();
    return best;
}

LcgJump LcgJumpOf(std::uint64_t steps)
{
    // Square-and-multiply on the affine map x -> a x + c.
    LcgJump total{1, 0};
    LcgJump power{CLcgPatternSource::kMultiplier, CLcgPatternSource::kIncrement};
    for (; steps != 0; steps >>= 1) {
        if (steps & 1)
            total = {total.multiplier * power.multiplier, total.increment * power.multiplier + power.increment};
        power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
    }
    return total;
}

std::uint32_t LcgAdvance(std::uint32_t state, std::uint64_t steps)
{
    const LcgJump jump = LcgJumpOf(steps);
    return state * jump.multiplier + jump.increment;
}

namespace {
constexpr std::size_t kFillChunk = 4096;

std::size_t RowsPerFill(std::size_t width)
{
    return width == 0 ? 1 : std::max<std::size_t>(1, kFillChunk / width);
}
}  // namespace

std::size_t IndexScratchSize(std::size_t width)
{
    return RowsPerFill(width) * width;
}

bool WriteShadowFrame(const Kernels& kernels, const std::uint8_t* secret, std::size_t width,
                      std::size_t height, std::size_t secretStride, CPatternSource& source,
                      std::uint8_t* indices, std::uint8_t* shadow1, std::uint8_t* shadow2)
{
    const std::size_t shadowStride = (2 * width + 3) / 4 * 4;
    const std::size_t rowsPerFill = RowsPerFill(width);
    for (std::size_t y = 0; y < height; y += rowsPerFill) {
        const std::size_t rows = std::min(rowsPerFill, height - y);
        if (!source.Fill(indices, rows * width))
            return false;
        for (std::size_t r = y; r < y + rows; ++r) {
            std::uint8_t* top1 = shadow1 + 2 * r * shadowStride;
            std::uint8_t* top2 = shadow2 + 2 * r * shadowStride;
            kernels.writeBlockRows(secret + r * secretStride, indices + (r - y) * width, width, top1,
                                   top1 + shadowStride, top2, top2 + shadowStride);
        }
    }
    return true;
}

}  // namespace shadow_kernels
