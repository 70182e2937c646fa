// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/GreySecretCheck.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

TEST(GreySecretCheck, CountsPixelsNeitherBlackNorWhiteAcrossFrames)
{
    const KvtHeader secret = KvtHeader::Built(3, 2, 2);
    // 3 pixels a row, rows 4 bytes apart: the alignment byte holds grey that is not a pixel.
    const std::vector<BYTE> first = {0, 1, 255, 77, 254, 128, 0, 77};
    const std::vector<BYTE> second = {0, 255, 0, 77, 255, 255, 255, 77};
    CGreySecretCheck check;
    check.CountFrame(first.data(), secret);
    check.CountFrame(second.data(), secret);
    EXPECT_EQ(check.GetGreyPixels(), 3u);

    std::ostringstream err;
    check.Warn(err, "kvt shadows", "secret.kvt");
    EXPECT_EQ(err.str(), "kvt shadows: warning: secret.kvt has 3 grey pixels, which will show as white: only black (0) "
                         "stays black in shadows. 'kvt import --dither' makes a black-and-white secret.\n");
}

// The warning does not stop the shadows, and a black-and-white secret gets none.
TEST(GreySecretCheck, ShadowsWarnOfAGreySecretAndStillMakeItsShadows)
{
    TempDir dir;
    std::vector<unsigned char> grey = HeaderBytes(2, 2, 1, 4);
    grey.insert(grey.end(), {0, 128, 255, 200});
    WriteBytes(dir / "grey.kvt", grey);
    std::vector<unsigned char> blackAndWhite = HeaderBytes(2, 2, 1, 4);
    blackAndWhite.insert(blackAndWhite.end(), {0, 255, 255, 0});
    WriteBytes(dir / "bw.kvt", blackAndWhite);

    const KvtRun greyRun = RunKvt({"shadows", (dir / "grey.kvt").string()}, dir / "err.txt");
    EXPECT_EQ(greyRun.status, 0);
    EXPECT_EQ(greyRun.err, "kvt shadows: warning: " + (dir / "grey.kvt").string() +
                               " has 2 grey pixels, which will show as white: only black (0) stays black in shadows. "
                               "'kvt import --dither' makes a black-and-white secret.\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "grey-Shadow2.kvt"));
    EXPECT_EQ(RunKvt({"shadows", (dir / "bw.kvt").string()}, dir / "err.txt").err, "");
}
