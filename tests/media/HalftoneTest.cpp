// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Halftone.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "media/DitherMask.h"

namespace {
QImage Flat(int grey, int side = 512)
{
    QImage frame(side, side, QImage::Format_Grayscale8);
    frame.fill(QColor(grey, grey, grey));
    return frame;
}

// A picture with detail everywhere: every grey along each row, shifted from row to row.
QImage Ramp(int width, int height)
{
    QImage frame(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            frame.scanLine(y)[x] = static_cast<uchar>((x * 7 + y * 3) % 256);
    }
    return frame;
}

// The share of black pixels, checking that every pixel is black or white.
double BlackShare(const QImage& frame)
{
    long long black = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const uchar value = frame.constScanLine(y)[x];
            EXPECT_TRUE(value == 0 || value == 255) << "at " << x << "," << y;
            black += value == 0;
        }
    }
    return static_cast<double>(black) / (frame.width() * frame.height());
}
}  // namespace

TEST(Halftone, ThresholdTurnsBlackJustBelowTheThresholdAndWhiteFromIt)
{
    for (const int threshold : {1, 2, 128, 254, 255}) {
        QImage frame(3, 1, QImage::Format_Grayscale8);
        uchar* row = frame.scanLine(0);
        row[0] = static_cast<uchar>(threshold - 1);
        row[1] = static_cast<uchar>(threshold);
        row[2] = static_cast<uchar>(std::min(threshold + 1, 255));
        MakeHalftoner(DitherMethod::threshold, threshold)->Apply(frame);
        EXPECT_EQ(frame.constScanLine(0)[0], 0) << "T = " << threshold;
        EXPECT_EQ(frame.constScanLine(0)[1], 255) << "T = " << threshold;
        EXPECT_EQ(frame.constScanLine(0)[2], 255) << "T = " << threshold;
    }
}

class HalftoneMethod : public testing::TestWithParam<DitherMethod> {};

TEST_P(HalftoneMethod, FlatGreyComesOutWithTheMatchingShareOfBlack)
{
    for (const int grey : {0, 8, 40, 100, 128, 170, 230, 250, 255}) {
        QImage frame = Flat(grey);
        MakeHalftoner(GetParam())->Apply(frame);
        EXPECT_NEAR(BlackShare(frame), 1.0 - grey / 255.0, 0.02) << "grey " << grey;
    }
}

// Odd sizes leave partial mask tiles and make the error diffusion turn at both edges.
TEST_P(HalftoneMethod, OddSizesStayWithinTheFrame)
{
    for (const auto& [width, height] : {std::pair{1, 1}, {1, 9}, {9, 1}, {67, 5}, {5, 67}}) {
        QImage frame = Ramp(width, height);
        MakeHalftoner(GetParam())->Apply(frame);
        BlackShare(frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, HalftoneMethod,
                         testing::Values(DitherMethod::floydSteinberg, DitherMethod::ordered,
                                         DitherMethod::blueNoise));

TEST(Halftone, MaskMethodsGiveTheSameOutputForTheSameFrameEveryTime)
{
    for (const DitherMethod method : {DitherMethod::ordered, DitherMethod::blueNoise}) {
        const auto halftoner = MakeHalftoner(method);
        QImage first = Ramp(300, 200);
        QImage second = Ramp(300, 200);
        halftoner->Apply(first);
        halftoner->Apply(second);
        EXPECT_EQ(first, second);
    }
}

TEST(DitherMask, VoidAndClusterRanksEveryCellOnce)
{
    const std::vector<int> ranks = VoidAndClusterRanks(64);
    EXPECT_EQ(std::set<int>(ranks.begin(), ranks.end()).size(), 64u * 64u);
    EXPECT_EQ(*std::max_element(ranks.begin(), ranks.end()), 64 * 64 - 1);
}

// Blue noise has no clumps: at a light grey, no two of the few black pixels touch.
TEST(DitherMask, BlueNoiseSpreadsTheFirstRanksApart)
{
    QImage frame = Flat(245, 64);
    MakeHalftoner(DitherMethod::blueNoise)->Apply(frame);
    const auto black = [&](int x, int y) { return frame.constScanLine((y + 64) % 64)[(x + 64) % 64] == 0; };
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {-1, 1}})
                EXPECT_FALSE(black(x, y) && black(x + dx, y + dy)) << x << "," << y;
        }
    }
}
