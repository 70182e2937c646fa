// SPDX-License-Identifier: GPL-3.0-or-later
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "PlayerTestHost.h"
#include "RampStream.h"

namespace {

constexpr int kFirst = 0xF0, kSecond = 0x3C, kStacked = kFirst & kSecond;

// Moves the first picture with the arrow-key commands.
void MoveFirstTo(CKVTPlayerView& view, QPoint pt)
{
    while (view.GetImage1Pos().x() < pt.x())
        view.OnImageRight();
    while (view.GetImage1Pos().x() > pt.x())
        view.OnImageLeft();
    while (view.GetImage1Pos().y() < pt.y())
        view.OnImageDown();
    ASSERT_EQ(view.GetImage1Pos(), pt);
}

struct StackedPair : testing::Test {
    PlayerTestHost host{MakeDoc(MakeTaggedStream(6, 4, 1, kFirst), MakeTaggedStream(6, 4, 1, kSecond))};
    CKVTPlayerView& view = host.View();
    const QPoint pt2 = view.GetImage2Pos();

    // The grey of every pixel of the second picture's place, row by row.
    std::vector<std::vector<int>> SecondPlace()
    {
        const QImage image = host.Paint();
        std::vector<std::vector<int>> rows;
        for (int y = 0; y < 4; ++y) {
            rows.emplace_back();
            for (int x = 0; x < 6; ++x)
                rows.back().push_back(qRed(image.pixel(pt2 + QPoint(x, y))));
        }
        return rows;
    }
    // The expected place with the first picture at `offset` from the second: the stacked grey
    // where it covers the second, and its black outline, which stays black when stacked.
    std::vector<std::vector<int>> Expected(QRect overlapInSecond, QPoint offset = {-100, -100})
    {
        const QRect outline(offset - QPoint(1, 1), offset + QPoint(6 + 1, 4 + 1));
        std::vector<std::vector<int>> rows(4, std::vector<int>(6, kSecond));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool bOnOutline = outline.contains(x, y) && (x == outline.left() || x == outline.right() ||
                                                                  y == outline.top() || y == outline.bottom());
                if (bOnOutline)
                    rows[y][x] = 0;
                else if (overlapInSecond.contains(x, y))
                    rows[y][x] = kStacked;
            }
        return rows;
    }
};

TEST_F(StackedPair, SideBySideWithFiftyPixelsBetween)
{
    EXPECT_EQ(pt2, QPoint(6 + 62, 65));
    const QImage image = host.Paint();
    EXPECT_EQ(qRed(image.pixel(12, 65)), kFirst);
    EXPECT_EQ(qRed(image.pixel(17, 68)), kFirst);
    EXPECT_EQ(SecondPlace(), Expected({}));
    EXPECT_EQ(image.pixel(19, 64), qRgb(0, 0, 0));  // the first picture's right outline
    EXPECT_EQ(image.pixel(67, 64), qRgb(0, 0, 0));  // the second's left one
    EXPECT_EQ(image.pixel(40, 67), qRgb(255, 255, 255));
}

TEST_F(StackedPair, ExactlyOnTopShowsTheAndEverywhere)
{
    MoveFirstTo(view, pt2);
    EXPECT_EQ(SecondPlace(), Expected({0, 0, 6, 4}));
}

TEST_F(StackedPair, FromTheLowerRightStacksTheBottomRightPart)
{
    MoveFirstTo(view, pt2 + QPoint(2, 1));
    EXPECT_EQ(SecondPlace(), Expected({2, 1, 4, 3}, {2, 1}));
    const QImage image = host.Paint();
    EXPECT_EQ(qRed(image.pixel(pt2 + QPoint(6, 3))), kFirst);  // the first picture beyond the second
    EXPECT_EQ(image.pixel(pt2 + QPoint(7, 3)), qRgb(0, 0, 0));  // the second's outline, across the first
}

TEST_F(StackedPair, FromTheLeftStacksTheBottomLeftPart)
{
    MoveFirstTo(view, pt2 + QPoint(-3, 2));
    EXPECT_EQ(SecondPlace(), Expected({0, 2, 3, 2}, {-3, 2}));
    const QImage image = host.Paint();
    // The second picture's outline stays visible across the first.
    EXPECT_EQ(image.pixel(pt2 + QPoint(-1, 2)), qRgb(0, 0, 0));
    EXPECT_EQ(qRed(image.pixel(pt2 + QPoint(-2, 2))), kFirst);
}

TEST_F(StackedPair, OneColumnAndOneRowOverlaps)
{
    MoveFirstTo(view, pt2 + QPoint(-5, 0));
    EXPECT_EQ(SecondPlace(), Expected({0, 0, 1, 4}, {-5, 0}));
    MoveFirstTo(view, pt2 + QPoint(5, 0));
    EXPECT_EQ(SecondPlace(), Expected({5, 0, 1, 4}, {5, 0}));
    MoveFirstTo(view, pt2 + QPoint(5, 3));
    EXPECT_EQ(SecondPlace(), Expected({5, 3, 1, 1}, {5, 3}));
}

// Pairs of one frame size but different widths: each picture keeps its own size and the overlap
// shows the second frame's own pixels where they lie (the first is all white).
struct UnequalPair : testing::TestWithParam<std::tuple<QSize, QSize, QPoint>> {};

TEST_P(UnequalPair, StacksTheSecondFramesPixelsInPlace)
{
    const auto [size1, size2, offset] = GetParam();
    PlayerTestHost host(MakeDoc(MakeTaggedStream(size1.width(), size1.height(), 1, 0xFF),
                                MakeRampStream(size2.width(), size2.height())));
    CKVTPlayerView& view = host.View();
    const QPoint pt2 = view.GetImage2Pos();
    MoveFirstTo(view, pt2 + offset);
    const QImage image = host.Paint();
    const QRect overlap = QRect(pt2 + offset, size1) & QRect(pt2, size2);
    ASSERT_FALSE(overlap.isEmpty());
    for (int y = overlap.top(); y <= overlap.bottom(); ++y)
        for (int x = overlap.left(); x <= overlap.right(); ++x)
            EXPECT_EQ(qRed(image.pixel(x, y)), 10 * (y - pt2.y()) + (x - pt2.x()) + 1) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(PlayerView, UnequalPair,
                         testing::Values(std::make_tuple(QSize(4, 9), QSize(6, 6), QPoint(2, 1)),
                                         std::make_tuple(QSize(4, 9), QSize(6, 6), QPoint(-2, 1)),
                                         std::make_tuple(QSize(6, 6), QSize(4, 9), QPoint(1, 1)),
                                         std::make_tuple(QSize(6, 6), QSize(4, 9), QPoint(-3, 2)),
                                         std::make_tuple(QSize(6, 6), QSize(4, 9), QPoint(0, 0))));

TEST(PlayerViewScroll, ScrolledViewDrawsAtLogicalPlacesAndMovesClientRects)
{
    PlayerTestHost host(MakeDoc(MakeTaggedStream(8, 8, 1, 0x80)));
    CKVTPlayerView& view = host.View();
    host.Window().resize(300, 250);
    host.Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.Window()));
    view.horizontalScrollBar()->setValue(7);
    view.verticalScrollBar()->setValue(30);
    ASSERT_EQ(view.GetScrollPos(), QPoint(7, 30));
    EXPECT_EQ(view.GetImage1Rect(), QRect(12 - 7, 65 - 30, 8, 8));
    EXPECT_EQ(view.CalcLogicalRect(view.GetImage1Pos()), QRect(12, 65, 8, 8));

    const QImage shown = view.viewport()->grab().toImage();
    EXPECT_EQ(qRed(shown.pixel(12 - 7, 65 - 30)), 0x80);
    EXPECT_EQ(qRed(shown.pixel(12 - 7 + 7, 65 - 30 + 7)), 0x80);
    EXPECT_EQ(shown.pixel(12 - 7 - 1, 65 - 30 - 1), qRgb(0, 0, 0));
    EXPECT_NE(qRed(shown.pixel(12 - 7 + 8, 65 - 30)), 0x80);
}

}  // namespace
