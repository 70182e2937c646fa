// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShadowKernels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShadowReference.h"
#include "vss/PatternSource.h"

namespace {
using shadow_kernels::Kernels;

// Every kernel set this CPU can run.
std::vector<const Kernels*> RunnableKernels()
{
    std::vector<const Kernels*> all{&shadow_kernels::ScalarKernels()};
    for (const Kernels* vector : {shadow_kernels::Avx2Kernels(), shadow_kernels::Avx512Kernels()})
        if (vector != nullptr)
            all.push_back(vector);
    return all;
}

// A secret frame with black, near-black and white pixels in no simple order, zero padding.
std::vector<std::uint8_t> SecretFrame(int width, int height, int stride, std::uint32_t salt)
{
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(stride) * height, 0);
    std::uint32_t state = salt;
    constexpr std::uint8_t kValues[] = {0, 0, 1, 255, 128, 0, 254, 255};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame[static_cast<std::size_t>(y) * stride + x] = kValues[reference::Draw(state) % 8];
    return frame;
}
}  // namespace

TEST(ShadowKernels, LcgFillMatchesSingleDrawsAcrossCallsOfEverySize)
{
    for (const Kernels* kernels : RunnableKernels()) {
        SCOPED_TRACE(kernels->name);
        std::uint32_t expectedState = 12345;
        CLcgPatternSource source(12345, *kernels);
        for (std::size_t count : {0, 1, 7, 31, 32, 33, 64, 95, 127, 128, 129, 1000, 4099, 2}) {
            SCOPED_TRACE(count);
            std::vector<std::uint8_t> indices(count + 1, 0xAA);
            ASSERT_TRUE(source.Fill(indices.data(), count));
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(indices[i], reference::Draw(expectedState) % 6) << "index " << i;
            EXPECT_EQ(indices[count], 0xAA) << "wrote past the end";
        }
    }
}

TEST(ShadowKernels, LcgAdvanceEqualsSteppingOneDrawAtATime)
{
    std::uint32_t state = 7;
    for (std::uint64_t steps = 0; steps < 300; ++steps) {
        EXPECT_EQ(shadow_kernels::LcgAdvance(7, steps), state) << steps;
        reference::Draw(state);
    }
}

TEST(ShadowKernels, EveryKernelSetWritesTheReferenceFrameOnManySizes)
{
    struct Size {
        int width, height;
    };
    const Size sizes[] = {{1, 1},  {2, 1},  {3, 2},  {5, 3},  {31, 2}, {32, 2},  {33, 3},
                          {47, 1}, {63, 4}, {64, 2}, {65, 3}, {97, 5}, {127, 2}, {128, 3}, {257, 3}, {1000, 2}};
    for (const Kernels* kernels : RunnableKernels())
        for (const Size& size : sizes) {
            SCOPED_TRACE(std::string(kernels->name) + " " + std::to_string(size.width) + " x " +
                         std::to_string(size.height));
            const int stride = (size.width + 3) / 4 * 4;
            const int shadowStride = (2 * size.width + 3) / 4 * 4;
            const auto secret = SecretFrame(size.width, size.height, stride, static_cast<std::uint32_t>(size.width));
            const std::uint32_t seed = 0xC0FFEEu + static_cast<std::uint32_t>(size.height);

            std::uint32_t state = seed;
            const auto expected = reference::MakeShadows(secret.data(), size.width, size.height, stride, state);

            const std::size_t shadowBytes = static_cast<std::size_t>(shadowStride) * 2 * size.height;
            std::vector<std::uint8_t> shadow1(shadowBytes, 0), shadow2(shadowBytes, 0);
            std::vector<std::uint8_t> indices(shadow_kernels::IndexScratchSize(static_cast<std::size_t>(size.width)));
            CLcgPatternSource source(seed, *kernels);
            ASSERT_TRUE(shadow_kernels::WriteShadowFrame(*kernels, secret.data(), size.width, size.height, stride,
                                                         source, indices.data(), shadow1.data(), shadow2.data()));
            EXPECT_EQ(shadow1, expected.first);
            EXPECT_EQ(shadow2, expected.second);
        }
}
