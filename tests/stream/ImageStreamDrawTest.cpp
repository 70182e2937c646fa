// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "RampStream.h"
#include "TestStreams.h"
#include "stream/ImageStream.h"

namespace {

struct Canvas {
    explicit Canvas(QRgb fill = qRgb(255, 255, 255)) : image(60, 40, QImage::Format_RGB32) { image.fill(fill); }
    int Grey(int x, int y) const { return qRed(image.pixel(x, y)); }
    bool IsBlack(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }
    bool IsWhite(int x, int y) const { return image.pixel(x, y) == qRgb(255, 255, 255); }
    QImage image;
};

TEST(ImageStreamDraw, ShowImageCopiesEveryPixelOfAnOddWidthInsideItsOutline)
{
    const auto stream = MakeRampStream(5, 3);
    Canvas canvas;
    {
        QPainter dc(&canvas.image);
        EXPECT_EQ(stream->ShowImage(dc, 10, 20, stream->GetHeadPosition()), 3);
    }
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(canvas.Grey(10 + col, 20 + row), 10 * row + col + 1) << col << "," << row;
    // Outline on x-1, y-1, x+w+1, y+h+1; one background column and row inside it on the right and bottom.
    for (int x = 9; x <= 16; ++x) {
        EXPECT_TRUE(canvas.IsBlack(x, 19)) << x;
        EXPECT_TRUE(canvas.IsBlack(x, 24)) << x;
    }
    for (int y = 19; y <= 24; ++y) {
        EXPECT_TRUE(canvas.IsBlack(9, y)) << y;
        EXPECT_TRUE(canvas.IsBlack(16, y)) << y;
        EXPECT_TRUE(canvas.IsWhite(17, y)) << y;
        EXPECT_TRUE(canvas.IsWhite(8, y)) << y;
    }
    for (int y = 20; y <= 23; ++y)
        EXPECT_TRUE(canvas.IsWhite(15, y)) << y;
    for (int x = 10; x <= 15; ++x)
        EXPECT_TRUE(canvas.IsWhite(x, 23)) << x;
    EXPECT_TRUE(canvas.IsWhite(12, 18));
    EXPECT_TRUE(canvas.IsWhite(12, 25));
}

TEST(ImageStreamDraw, NullPositionDrawsOnlyTheOutline)
{
    const auto stream = MakeRampStream(4, 2);
    Canvas canvas;
    QPainter dc(&canvas.image);
    EXPECT_EQ(stream->ShowImage(dc, 5, 5, nullptr), 0);
    EXPECT_EQ(stream->ShowImageRop(dc, 30, 5, nullptr, SRCAND), 0);
    dc.end();
    EXPECT_TRUE(canvas.IsBlack(4, 4));
    EXPECT_TRUE(canvas.IsBlack(29, 4));
    EXPECT_TRUE(canvas.IsWhite(5, 5));
    EXPECT_TRUE(canvas.IsWhite(30, 5));
}

TEST(ImageStreamDraw, StreamWithoutBitmapDescriptionDrawsNothing)
{
    MessageRecorder messages;
    CImageStream stream;
    Canvas canvas;
    QPainter dc(&canvas.image);
    EXPECT_EQ(stream.ShowImage(dc, 5, 5, nullptr), 0);
    dc.end();
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Show image error"});
    EXPECT_TRUE(canvas.IsWhite(4, 4));
}

TEST(ImageStreamDraw, RasterOperationAndsTheFrameIntoTheSurface)
{
    const auto stream = MakeTaggedStream(3, 3, 1, 0x3C);
    Canvas canvas(qRgb(0xF0, 0xF0, 0xF0));
    QPainter dc(&canvas.image);
    EXPECT_EQ(stream->ShowImageRop(dc, 5, 5, stream->GetHeadPosition(), SRCAND), 3);
    EXPECT_EQ(stream->ShowImageRop(dc, 20, 5, stream->GetHeadPosition(), SRCCOPY), 3);
    dc.end();
    EXPECT_EQ(canvas.image.pixel(6, 6), qRgb(0x30, 0x30, 0x30));
    EXPECT_EQ(canvas.image.pixel(21, 6), qRgb(0x3C, 0x3C, 0x3C));
    EXPECT_EQ(canvas.image.pixel(8, 8), qRgb(0xF0, 0xF0, 0xF0));  // x + w, y + h: not drawn; the outline is one further
    EXPECT_TRUE(canvas.IsBlack(9, 6));
}

TEST(ImageStreamDraw, PartTakesTheBottomRowsFromTheCornerSide)
{
    const auto stream = MakeRampStream(5, 4);
    for (const int nCorner : {1, 2}) {
        Canvas canvas;
        QPainter dc(&canvas.image);
        // A 2 x 3 part drawn at (30, 10): the bottom three rows, left or right two columns.
        EXPECT_EQ(stream->ShowImagePart(dc, 10, 10, stream->GetHeadPosition(), QRect(30, 10, 2, 3), nCorner), 3);
        dc.end();
        const int xSrc = nCorner == 2 ? 3 : 0;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 2; ++col)
                EXPECT_EQ(canvas.Grey(30 + col, 10 + row), 10 * (row + 1) + xSrc + col + 1) << nCorner;
        EXPECT_TRUE(canvas.IsWhite(32, 10));
        EXPECT_TRUE(canvas.IsBlack(9, 9));     // the stream's own outline at (10, 10)
        EXPECT_TRUE(canvas.IsWhite(10, 10));  // but not its frame
    }
}

TEST(ImageStreamDraw, PartReachingPastTheFrameReadsOnlyInsideIt)
{
    const auto stream = MakeRampStream(3, 2);
    Canvas canvas(qRgb(0xFF, 0xFF, 0xFF));
    QPainter dc(&canvas.image);
    // Wider and higher than the frame: only the 3 x 2 that exist are drawn, at the part's bottom right.
    EXPECT_EQ(stream->ShowImagePart(dc, 40, 30, stream->GetHeadPosition(), QRect(10, 10, 6, 5), 1), 2);
    EXPECT_EQ(stream->ShowImagePart(dc, 40, 30, stream->GetHeadPosition(), QRect(30, 10, 0, 5), 2), 0);
    dc.end();
    EXPECT_EQ(canvas.Grey(10, 13), 1);
    EXPECT_EQ(canvas.Grey(12, 14), 13);
    EXPECT_TRUE(canvas.IsWhite(13, 13));
    EXPECT_TRUE(canvas.IsWhite(10, 12));
}

}  // namespace
