// SPDX-License-Identifier: GPL-3.0-or-later
// The vector lookup of a row's columns against the plain loop.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "vss/ColumnLookup.h"

using namespace column_lookup;

// Every table entry, black and white pixels, and rows that end inside a vector.
TEST(ColumnLookUp, VectorLookUpWritesWhatThePlainLoopWrites)
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
