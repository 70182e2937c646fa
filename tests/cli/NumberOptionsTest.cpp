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

TEST(NumberOptions, RangesSayWhatIsAllowed)
{
    std::string text = "0";
    EXPECT_EQ(NumberAbove(0, 1000)(text), "0 is not a number more than 0 and at most 1000");
    text = "0.001";
    EXPECT_EQ(NumberAbove(0, 1000)(text), "");
    text = "2.5";
    EXPECT_EQ(WholeNumberFrom(1, 3)(text), "2.5 is not a whole number from 1 to 3");
    text = "3";
    EXPECT_EQ(WholeNumberFrom(1, 3)(text), "");
    text = "0.5";
    EXPECT_EQ(NumberFrom(0.5, 2.25)(text), "");
    text = "x";
    EXPECT_EQ(NumberFrom(0.5, 2.25)(text), "x is not a number from 0.5 to 2.25");
}
