#include "cli/GreySecretCheck.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

TEST(GreySecretCheck, CountsPixelsNeitherBlackNorWhiteAcrossFrames)
{
    // 3 pixels a row, rows 4 bytes apart: the alignment byte holds grey that is not a pixel.
    const std::vector<std::uint8_t> first = {0, 1, 255, 77, 254, 128, 0, 77};
    const std::vector<std::uint8_t> second = {0, 255, 0, 77, 255, 255, 255, 77};
    CGreySecretCheck check;
    check.CountFrame(first.data(), 3, 2, 4);
    check.CountFrame(second.data(), 3, 2, 4);
    EXPECT_EQ(check.GetGreyPixels(), 3u);

    std::ostringstream err;
    check.Warn(err, "kvt shadows", "secret.kvt");
    EXPECT_EQ(err.str(), "kvt shadows: warning: secret.kvt has 3 grey pixels, which will show as white: only black (0) "
                         "stays black in shadows. 'kvt import --dither' makes a black-and-white secret.\n");
}

TEST(GreySecretCheck, SaysNothingOfABlackAndWhiteSecret)
{
    const std::vector<std::uint8_t> frame = {0, 255, 255, 0};
    CGreySecretCheck check;
    check.CountFrame(frame.data(), 4, 1, 4);
    std::ostringstream err;
    check.Warn(err, "kvt shadows", "secret.kvt");
    EXPECT_EQ(err.str(), "");
}
