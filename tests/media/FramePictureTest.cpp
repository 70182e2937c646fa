#include "media/FramePicture.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include "GreyFrames.h"

TEST(GreyPicture, WrapsAStreamFrameWithItsAlignmentBytes)
{
    // 3 pixels a row, 4 bytes a row in a stream; the fourth byte of each row is not the picture's.
    const std::uint8_t frame[] = {1, 2, 3, 99, 4, 5, 6, 99};
    const QImage picture = WrapGreyFrame(frame, 3, 2);
    ASSERT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.constScanLine(1)[2], 6);
    EXPECT_EQ(picture.constBits(), frame);
}

TEST(GreyPicture, ScalesEveryPixelToAnExactBlock)
{
    const QImage grey = MakeGreyFrame(0);
    const QImage big = ScaleUpNearest(grey, 3);
    ASSERT_EQ(big.size(), grey.size() * 3);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            ASSERT_EQ(big.scanLine(y)[x], grey.scanLine(y / 3)[x / 3]) << x << ", " << y;
}

class GreyPictureFormat : public testing::TestWithParam<const char*> {};

TEST_P(GreyPictureFormat, KeepsEveryGreyIn8Bits)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::string error;
    ASSERT_TRUE(WriteGreyPicture(buffer, MakeGreyFrame(1), GetParam(), error)) << error;
    QImage back;
    ASSERT_TRUE(back.loadFromData(buffer.data(), GetParam()));
    EXPECT_EQ(back.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(back, MakeGreyFrame(1));
}

INSTANTIATE_TEST_SUITE_P(Formats, GreyPictureFormat, testing::Values("png", "pgm"));

TEST(GreyPicture, AFailedWriteSaysWhy)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    std::string error;
    EXPECT_FALSE(WriteGreyPicture(readOnly, MakeGreyFrame(0), "png", error));
    EXPECT_FALSE(error.empty());
}
