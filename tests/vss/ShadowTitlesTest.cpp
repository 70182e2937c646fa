// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShadowTitles.h"

#include <gtest/gtest.h>

TEST(ShadowTitles, AFinalKvtInAnyCaseIsDropped)
{
    for (const char* title : {"movie.KVT", "movie.kvt", "movie.Kvt", "movie"}) {
        SCOPED_TRACE(title);
        EXPECT_EQ(ShadowTitle(title, 1), "movie-Shadow1");
        EXPECT_EQ(ShadowTitle(title, 2), "movie-Shadow2");
        EXPECT_EQ(InterlacedTitle(title, 1), "movie-Interlaced-Mode1-Stream");
        EXPECT_EQ(InterlacedTitle(title, 2), "movie-Interlaced-Mode2-Stream");
    }
    // Only a final extension goes; one in the middle, or a bare ".kvt", stays.
    EXPECT_EQ(StreamBaseName("a.kvt.b"), "a.kvt.b");
    EXPECT_EQ(StreamBaseName(".kvt"), "");
    EXPECT_EQ(ShadowTitle(".kvt", 1), "-Shadow1");
    EXPECT_EQ(StreamBaseName("kvt"), "kvt");
}

TEST(ShadowTitles, AnEmptySourceGivesTheFixedNames)
{
    EXPECT_EQ(ShadowTitle("", 1), "Shadow1");
    EXPECT_EQ(ShadowTitle("", 2), "Shadow2");
    EXPECT_EQ(InterlacedTitle("", 1), "New-Interlaced-Mode1-Stream");
    EXPECT_EQ(InterlacedTitle("", 2), "Interlaced-Mode2-Stream");
    EXPECT_EQ(kStackedTitle, "New-Stacked-Stream");
}
