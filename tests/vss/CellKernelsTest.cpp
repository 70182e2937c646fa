// SPDX-License-Identifier: GPL-3.0-or-later
// The share makers' vector loops against the plain ones.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "vss/CellKernels.h"

using namespace cell_kernels;

// Every table entry, black and white pixels, and rows that end inside a vector.
TEST(CellKernels, VectorLookUpWritesWhatThePlainLoopWrites)
{
    const LookUpFn vector = LookUpVbmi();
    if (vector == nullptr)
        GTEST_SKIP() << "no AVX-512 VBMI on this CPU";
    std::mt19937 bits(4);
    std::vector<std::uint8_t> table(kTableBytes);
    for (std::uint8_t& entry : table)
        entry = static_cast<std::uint8_t>(bits());
    for (const std::uint32_t outcomes : {1u, 6u, 64u, 100u, kMaxOutcomes})
        for (const std::size_t width : {1u, 63u, 64u, 200u}) {
            std::vector<std::uint8_t> pixels(width), numbers(width);
            for (std::size_t x = 0; x < width; ++x) {
                pixels[x] = bits() % 2 == 0 ? 0 : static_cast<std::uint8_t>(1 + bits() % 255);
                numbers[x] = static_cast<std::uint8_t>(bits() % outcomes);
            }
            // One byte past the row: neither may write it.
            std::vector<std::uint8_t> plain(width + 1, 7), vectored(width + 1, 7);
            LookUpPlain(table.data(), static_cast<std::uint8_t>(outcomes), pixels.data(), numbers.data(), plain.data(), width);
            vector(table.data(), static_cast<std::uint8_t>(outcomes), pixels.data(), numbers.data(), vectored.data(), width);
            EXPECT_EQ(plain, vectored) << outcomes << " outcomes, width " << width;
            EXPECT_EQ(plain[width], 7);
        }
}

// Every bit of every column value, and counts that end inside a vector.
TEST(CellKernels, VectorSpreadWritesWhatThePlainLoopWrites)
{
    const SpreadFn vector = SpreadAvx512();
    if (vector == nullptr)
        GTEST_SKIP() << "no AVX-512 on this CPU";
    std::vector<std::uint8_t> columns(300);
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = static_cast<std::uint8_t>(i * 37);
    for (int share = 0; share < 8; ++share)
        for (const std::size_t count : {1u, 64u, 130u, 300u}) {
            std::vector<std::uint8_t> plain(count + 1, 7), vectored(count + 1, 7);
            const auto bit = static_cast<std::uint8_t>(1u << share);
            SpreadPlain(columns.data(), bit, plain.data(), count);
            vector(columns.data(), bit, vectored.data(), count);
            EXPECT_EQ(plain, vectored) << "share " << share << ", count " << count;
            EXPECT_EQ(plain[count], 7);
        }
}

// Slices of several sizes with and without a run starting in them, numbers on both sides of each
// start, both colours, and rows that end inside a vector.
TEST(CellKernels, VectorSliceLookUpWritesWhatThePlainLoopWrites)
{
    const SliceLookUpFn vector = LookUpSlicesAvx512();
    if (vector == nullptr)
        GTEST_SKIP() << "no AVX-512 BW and VL on this CPU";
    std::mt19937 bits(5);
    for (const unsigned shift : {0u, 3u, 6u}) {
        const std::uint32_t size = std::uint32_t{1} << shift, count = 40;
        std::vector<std::uint32_t> slices(2 * count);
        for (std::uint32_t& slice : slices)
            slice = bits() % 256 | bits() % 256 << 8 | (1 + bits() % size) << 16;
        for (const std::size_t width : {1u, 15u, 16u, 200u}) {
            std::vector<std::uint8_t> pixels(width);
            std::vector<std::uint32_t> numbers(width);
            for (std::size_t x = 0; x < width; ++x) {
                pixels[x] = bits() % 2 == 0 ? 0 : static_cast<std::uint8_t>(1 + bits() % 255);
                numbers[x] = bits() % (count * size);
            }
            std::vector<std::uint8_t> plain(width + 1, 7), vectored(width + 1, 7);
            LookUpSlicesPlain(slices.data(), count, shift, pixels.data(), numbers.data(), plain.data(), width);
            vector(slices.data(), count, shift, pixels.data(), numbers.data(), vectored.data(), width);
            EXPECT_EQ(plain, vectored) << "slices of " << size << ", width " << width;
            EXPECT_EQ(plain[width], 7);
        }
    }
}
