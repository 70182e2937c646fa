// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FrameRange.h"

#include <gtest/gtest.h>

namespace {
std::pair<int, int> Range(const std::string& text, int count = 10)
{
    std::string error;
    const auto range = ParseFrameRange(text, count, error);
    return range ? std::pair{range->first, range->last} : std::pair{-1, -1};
}
}  // namespace

TEST(FrameRange, ReadsBothEndsEitherEndOrOneFrame)
{
    EXPECT_EQ(Range("2..5"), std::pair(2, 5));
    EXPECT_EQ(Range("3.."), std::pair(3, 9));
    EXPECT_EQ(Range("..4"), std::pair(0, 4));
    EXPECT_EQ(Range("7"), std::pair(7, 7));
    EXPECT_EQ(Range(""), std::pair(0, 9));
}

TEST(FrameRange, RefusesRangesOutsideTheStreamWithTheLastFrame)
{
    for (const char* text : {"5..2", "0..10", "10", "-1..3", "a..b", "1...3", "+2"})
        EXPECT_EQ(Range(text), std::pair(-1, -1)) << text;
    std::string error;
    ParseFrameRange("0..10", 10, error);
    EXPECT_NE(error.find("B <= 9"), std::string::npos) << error;
    EXPECT_FALSE(ParseFrameRange("", 0, error));
}
