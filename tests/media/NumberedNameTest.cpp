// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/NumberedName.h"

#include <gtest/gtest.h>

TEST(NumberedName, FillsTheOneFieldAsPrintfWould)
{
    EXPECT_EQ(CNumberedName::Parse("frame-%04d.png")->Fill(7), "frame-0007.png");
    EXPECT_EQ(CNumberedName::Parse("f%3d.pgm")->Fill(12), "f 12.pgm");
    EXPECT_EQ(CNumberedName::Parse("%d")->Fill(12345), "12345");
    EXPECT_EQ(CNumberedName::Parse("100%%-%02d.png")->Fill(3), "100%-03.png");
}

TEST(NumberedName, WithoutAFieldNamesOneFile)
{
    const auto name = CNumberedName::Parse("share.png");
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->HasField());
    EXPECT_EQ(name->Fill(3), "share.png");
}

TEST(NumberedName, RefusesWhatPrintfWouldNotFillWithOneNumber)
{
    for (const char* pattern : {"%d-%d.png", "%s.png", "%x.png", "frame-%", "%-4d.png", "%.3d.png"})
        EXPECT_FALSE(CNumberedName::Parse(pattern)) << pattern;
}
