// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/NumberOptions.h"

#include <gtest/gtest.h>

TEST(NumberOptions, LengthsComeInMillimetresFromEveryUnit)
{
    EXPECT_DOUBLE_EQ(*ParseLengthMm("0.4mm"), 0.4);
    EXPECT_DOUBLE_EQ(*ParseLengthMm("0.04cm"), 0.4);
    EXPECT_DOUBLE_EQ(*ParseLengthMm("0.02in"), 0.508);
    EXPECT_DOUBLE_EQ(*ParseLengthMm("40um"), 0.04);
    EXPECT_DOUBLE_EQ(*ParseLengthMm("72pt"), 25.4);
    for (const char* refused : {"0.4", "mm", "0mm", "-1mm", "0.4 mm", "0.4MM", "1e999mm", "nanmm", "0.4mmm", ""})
        EXPECT_FALSE(ParseLengthMm(refused)) << refused;
}
