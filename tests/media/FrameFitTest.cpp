// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameFit.h"

#include <vector>

#include <gtest/gtest.h>

TEST(FrameFit, PlacesTheSourceAsEachModeSays)
{
    struct Case {
        QSize source;
        QSize target;
        FitMode mode;
        QRect drawn;
        QRect into;
    };
    const Case cases[] = {
        {{640, 480}, {320, 240}, FitMode::contain, {0, 0, 640, 480}, {0, 0, 320, 240}},
        {{640, 480}, {200, 200}, FitMode::contain, {0, 0, 640, 480}, {0, 25, 200, 150}},
        {{480, 640}, {200, 200}, FitMode::contain, {0, 0, 480, 640}, {25, 0, 150, 200}},
        {{640, 480}, {200, 200}, FitMode::cover, {80, 0, 480, 480}, {0, 0, 200, 200}},
        {{480, 640}, {200, 200}, FitMode::cover, {0, 80, 480, 480}, {0, 0, 200, 200}},
        {{640, 480}, {200, 200}, FitMode::stretch, {0, 0, 640, 480}, {0, 0, 200, 200}},
        // A sliver keeps at least one pixel.
        {{1000, 1}, {10, 10}, FitMode::contain, {0, 0, 1000, 1}, {0, 4, 10, 1}},
        {{1, 1000}, {10, 10}, FitMode::cover, {0, 499, 1, 1}, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        const FramePlacement place = PlaceFrame(c.source, c.target, c.mode);
        EXPECT_EQ(place.source, c.drawn) << c.source.width() << "x" << c.source.height();
        EXPECT_EQ(place.target, c.into) << c.source.width() << "x" << c.source.height();
    }
}

TEST(FrameFit, ScalesIntoTheFrameWithWhiteBars)
{
    QImage grey(60, 20, QImage::Format_Grayscale8);
    grey.fill(QColor(0, 0, 0));
    CFrameFitter fitter(QSize(31, 31), FitMode::contain);
    QImage frame;
    ASSERT_TRUE(fitter.Fit(grey, frame));
    ASSERT_EQ(frame.size(), QSize(31, 31));
    // 60 x 20 shrinks to 31 x 10, rows 10 to 19.
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 31; ++x)
            EXPECT_EQ(frame.constScanLine(y)[x], y >= 10 && y < 20 ? 0 : 255) << x << "," << y;
    }
}

// A frame 1 pixel wide has rows of 4 bytes; the scaler must not store past the last of them.
TEST(FrameFit, ScalingANarrowFrameWritesNothingPastIt)
{
    QImage grey(12, 8, QImage::Format_Grayscale8);
    grey.fill(QColor(0, 0, 0));
    constexpr int kStride = 4, kHeight = 8, kGuard = 64;
    std::vector<uchar> bytes(kStride * kHeight + kGuard, 0xA5);
    QImage frame(bytes.data(), 1, kHeight, kStride, QImage::Format_Grayscale8);  // drawn into in place
    CFrameFitter fitter(QSize(1, kHeight), FitMode::stretch);
    ASSERT_TRUE(fitter.Fit(grey, frame));
    ASSERT_EQ(frame.constBits(), bytes.data());
    for (int y = 0; y < kHeight; ++y)
        EXPECT_EQ(bytes[static_cast<std::size_t>(y * kStride)], 0) << y;
    for (std::size_t at = kStride * kHeight; at < bytes.size(); ++at)
        EXPECT_EQ(bytes[at], 0xA5) << "byte " << at - kStride * kHeight << " past the frame";
}

TEST(FrameFit, APictureOfNoPixelsIsRefused)
{
    for (const FitMode mode : {FitMode::contain, FitMode::cover, FitMode::stretch}) {
        CFrameFitter fitter(QSize(8, 8), mode);
        QImage frame;
        EXPECT_FALSE(fitter.Fit(QImage(), frame));
        EXPECT_FALSE(fitter.Fit(QImage(0, 5, QImage::Format_Grayscale8), frame));
    }
}
