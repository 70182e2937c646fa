// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PrintLayout.h"

#include <gtest/gtest.h>

// Where the picture lands on the page, measured, is in the printer's tests.
TEST(PrintLayout, MarksSitAtFixedOffsetsOutsideTheCorners)
{
    const auto layout = CPrintLayout::Fit(200, 100, 0.5, QPageSize::A4);
    ASSERT_TRUE(layout);
    const auto marks = layout->GetMarkCentresMm();
    EXPECT_EQ(marks[0], QPointF(50, 118.5));
    EXPECT_EQ(marks[2], QPointF(160, 178.5));
    EXPECT_GE(layout->GetFooterMm().top(), marks[2].y() + PrintGeometry::kMarkArmMm);
}

TEST(PrintLayout, TurnsThePageWhenOnlyLandscapeFits)
{
    const auto layout = CPrintLayout::Fit(500, 100, 0.5, QPageSize::A4);  // 250 mm wide
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->GetPageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(layout->GetPageMm(), QSizeF(297, 210));
    EXPECT_EQ(layout->GetPictureMm().center(), QPointF(148.5, 105));
}

TEST(PrintLayout, TheLargestPixelSizeFitsAndAnyLargerDoesNot)
{
    for (const auto page : {QPageSize::A4, QPageSize::Letter}) {
        for (const QSize picture : {QSize(640, 480), QSize(100, 1000), QSize(2, 2)}) {
            const double largest = CPrintLayout::LargestPixelMm(picture.width(), picture.height(), page);
            EXPECT_TRUE(CPrintLayout::Fit(picture.width(), picture.height(), largest, page)) << picture.width();
            EXPECT_FALSE(CPrintLayout::Fit(picture.width(), picture.height(), largest * 1.001, page));
        }
    }
}
