// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ToneMap.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {
// One row holding the greys given.
QImage Row(const std::vector<int>& greys)
{
    QImage frame(static_cast<int>(greys.size()), 1, QImage::Format_Grayscale8);
    for (std::size_t i = 0; i < greys.size(); ++i)
        frame.scanLine(0)[i] = static_cast<uchar>(greys[i]);
    return frame;
}
}  // namespace

TEST(ToneMap, LevelsAndGammaAreExactAtTheirEnds)
{
    for (const double gamma : {0.1, 0.5, 1.0, 2.2, 10.0}) {
        const CToneMap full({0, 255}, gamma);
        EXPECT_EQ(full.Map(0), 0) << gamma;
        EXPECT_EQ(full.Map(255), 255) << gamma;
        const CToneMap levels({40, 200}, gamma);
        for (const int g : {0, 39, 40})
            EXPECT_EQ(levels.Map(static_cast<std::uint8_t>(g)), 0) << g << " at gamma " << gamma;
        for (const int g : {200, 201, 255})
            EXPECT_EQ(levels.Map(static_cast<std::uint8_t>(g)), 255) << g << " at gamma " << gamma;
    }
    // Linear between the levels; gamma lifts the middle and keeps the order.
    EXPECT_EQ(CToneMap({40, 200}, 1.0).Map(120), 128);
    EXPECT_EQ(CToneMap({0, 255}, 1.0).Map(77), 77);
    EXPECT_EQ(CToneMap({0, 255}, 2.0).Map(64), 128);
    const CToneMap lift({0, 255}, 2.2);
    for (int g = 1; g < 255; ++g)
        EXPECT_LE(lift.Map(static_cast<std::uint8_t>(g - 1)), lift.Map(static_cast<std::uint8_t>(g)));
}

TEST(ToneMap, LevelsParseOnlyTwoOrderedGreys)
{
    EXPECT_EQ(ParseGreyLevels("0:255"), (GreyLevels{0, 255}));
    EXPECT_EQ(ParseGreyLevels("30:31"), (GreyLevels{30, 31}));
    for (const char* bad : {"", "30", "30:", ":30", "31:30", "30:30", "0:256", "-1:20", "a:b", "1:2:3", " 1:2"})
        EXPECT_FALSE(ParseGreyLevels(bad)) << bad;
}

TEST(ToneMap, PercentilesLeaveOutTheOutermostHundredth)
{
    // 200 pixels: two of each end cut away, the 1st and 99th percentile where the rest begins and ends.
    std::vector<int> greys(200, 128);
    greys[0] = greys[1] = 0;
    greys[2] = 20;
    greys[197] = 230;
    greys[198] = greys[199] = 255;
    EXPECT_EQ(PercentileLevels(Row(greys)), (GreyLevels{0, 230}));
    greys[1] = 20;
    greys[198] = 230;
    EXPECT_EQ(PercentileLevels(Row(greys)), (GreyLevels{20, 230}));
    // One grey: nothing to stretch.
    EXPECT_EQ(PercentileLevels(Row(std::vector<int>(50, 90))), (GreyLevels{0, 255}));
}

TEST(ToneStage, AutoLevelsMeasureTheFirstFrameOrEachFrame)
{
    const QImage dark = Row({10, 10, 50, 50});
    const QImage light = Row({100, 100, 200, 200});
    for (const AutoLevels mode : {AutoLevels::first, AutoLevels::each}) {
        CToneStage stage({}, 1.0, mode);
        stage.Measure(dark);
        QImage frame = dark;
        stage.Apply(frame);
        EXPECT_EQ(frame, Row({0, 0, 255, 255}));
        stage.Measure(light);
        frame = light;
        stage.Apply(frame);
        EXPECT_EQ(frame, mode == AutoLevels::each ? Row({0, 0, 255, 255}) : Row({255, 255, 255, 255}));
    }
    CToneStage fixed({}, 1.0, AutoLevels::off);
    fixed.Measure(dark);
    QImage frame = dark;
    fixed.Apply(frame);
    EXPECT_EQ(frame, dark);
}
