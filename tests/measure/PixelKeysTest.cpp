// SPDX-License-Identifier: GPL-3.0-or-later
// The loops over rows of pixel keys as this processor runs them against the plain loops.

#include "measure/PixelKeys.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

TEST(PixelKeys, CompareWithPreviousMatchesThePlainLoops)
{
    // Keys of every share count a key holds, rows of every length around the vector widths, and
    // secret pixels that change colour or keep it.
    std::mt19937_64 rng(21);
    for (const PixelKeyLayout shape : {PixelKeyLayout{0, 1, 4}, {0, 2, 4}, {0, 5, 9}, {0, 3, 16}, {0, 8, 7}, {0, 1, 62}}) {
        for (const std::size_t width : {1u, 7u, 8u, 9u, 31u, 1000u}) {
            const PixelKeyLayout layout{width, shape.shares, shape.bits};
            SCOPED_TRACE(std::to_string(layout.shares) + " shares of " + std::to_string(layout.bits) + " bits, " +
                         std::to_string(width) + " pixels");
            const std::uint64_t used = (std::uint64_t{2} << (layout.shares * layout.bits)) - 1;
            const BlockPattern patternMask = (BlockPattern{1} << layout.bits) - 1;
            std::vector<std::uint64_t> keys(width), previous(width);
            std::vector<BlockPattern> stacked(width, 0);
            for (std::size_t x = 0; x < width; ++x) {
                keys[x] = rng() & used;
                previous[x] = rng() % 3 ? keys[x] ^ (rng() & rng() & used) : rng() & used;
                for (std::size_t s = 0; s < layout.shares; ++s)
                    stacked[x] |= keys[x] >> (1 + s * layout.bits) & patternMask;
            }
            std::vector<std::uint64_t> plainPrevious = previous, plainDifferences(width), differences(width);
            std::vector<BlockPattern> scratch(width);
            const bool rowsToo = layout.bits <= 16;  // the across-frame tables' rows, where patterns are rows
            std::vector<std::uint32_t> plainRows(width * layout.shares), rows(plainRows.size());
            const CrawlCounts plain =
                CompareWithPreviousPlain(layout, keys.data(), stacked.data(), plainPrevious.data(),
                                         plainDifferences.data(), scratch.data(), rowsToo ? plainRows.data() : nullptr);
            const CrawlCounts crawl = CompareWithPrevious(layout, keys.data(), stacked.data(), previous.data(),
                                                          differences.data(), scratch.data(),
                                                          rowsToo ? rows.data() : nullptr);
            EXPECT_EQ(crawl.changed, plain.changed);
            EXPECT_EQ(crawl.compared, plain.compared);
            EXPECT_EQ(differences, plainDifferences);
            EXPECT_EQ(rows, plainRows);
            EXPECT_EQ(previous, keys);
            EXPECT_EQ(plainPrevious, keys);
        }
    }
}
