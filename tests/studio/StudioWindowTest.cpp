// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's window offscreen, driven as a user would: open a picture, choose (3, 5), make the
// shares, check three of them and read what they show.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QLineSeries>
#include <QTest>

#include "GreyFrames.h"
#include "TempDir.h"
#include "studio/FiguresPanel.h"
#include "studio/ImageView.h"
#include "studio/RevealPanel.h"
#include "studio/SchemePanel.h"
#include "studio/StudioWindow.h"

namespace {
template <typename Widget>
Widget* ChildWithTip(QWidget* parent, const QString& tipStart)
{
    for (Widget* widget : parent->findChildren<Widget*>())
        if (widget->toolTip().startsWith(tipStart))
            return widget;
    return nullptr;
}

TEST(StudioWindowTest, MakesThreeOfFiveAndRevealsAnyThree)
{
    TempDir dir;
    const QString picture = QString::fromStdString((dir / "photo.png").string());
    ASSERT_TRUE(MakeGreyFrame(0, 64, 48).save(picture));
    CStudioWindow window;
    window.show();
    ASSERT_TRUE(window.OpenFile(picture));
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("photo.png")));

    CSchemePanel* scheme = window.GetSchemePanel();
    auto* family = scheme->findChild<QComboBox*>();
    family->setCurrentIndex(family->findText(QStringLiteral("random-grid")));
    auto* k = ChildWithTip<QSpinBox>(scheme, QStringLiteral("Shares needed"));
    auto* n = ChildWithTip<QSpinBox>(scheme, QStringLiteral("Shares made"));
    ASSERT_TRUE(k && n);
    // k above n first: refused in kvt's words, nothing to make.
    k->setValue(3);
    EXPECT_EQ(scheme->GetRefusalLabel()->text(), QStringLiteral("-k 3 needs at least as many shares (-n 2)"));
    EXPECT_FALSE(scheme->GetMakeButton()->isEnabled());
    n->setValue(5);
    // A seed, so the figures below are always the same.
    scheme->findChild<QLineEdit*>()->setText(QStringLiteral("1"));
    EXPECT_TRUE(scheme->GetRefusalLabel()->text().isEmpty());
    ASSERT_TRUE(scheme->GetMakeButton()->isEnabled());

    QTest::mouseClick(scheme->GetMakeButton(), Qt::LeftButton);
    QListWidget* list = window.GetRevealPanel()->GetShareList();
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 5, 30000);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(std::filesystem::exists(dir / ("photo-Shadow" + std::to_string(i) + ".kvt")));

    for (int i : {1, 3})
        list->item(i)->setCheckState(Qt::Unchecked);
    const QImage reveal = window.GetRevealPanel()->GetRevealView()->GetImage();
    EXPECT_EQ(reveal.size(), QSize(64, 48));
    const QString figures = window.GetRevealPanel()->GetFiguresLabel()->text();
    EXPECT_TRUE(figures.startsWith(QStringLiteral("Shares checked: 3\nh/m "))) << figures.toStdString();
    EXPECT_TRUE(figures.contains(QStringLiteral(", alpha "))) << figures.toStdString();
    const double threeAlpha = window.GetSession().MeasureChecked()->contrast.alpha.value();
    EXPECT_EQ(window.GetSession().GetShares().GetChecked(), (std::vector<int>{0, 2, 4}));
    // Two of a (3, 5) scheme show nothing.
    list->item(4)->setCheckState(Qt::Unchecked);
    const QString two = window.GetRevealPanel()->GetFiguresLabel()->text();
    EXPECT_TRUE(two.startsWith(QStringLiteral("Shares checked: 2\nh/m "))) << two.toStdString();
    EXPECT_LT(window.GetSession().MeasureChecked()->contrast.alpha.value(), threeAlpha);
    EXPECT_TRUE(two.contains(QStringLiteral("Shows nothing of the secret by its patterns (p = "))) << two.toStdString();

    // Every set of three and of two, measured in the background; no two leak.
    CFiguresPanel* figuresPanel = window.GetFiguresPanel();
    figuresPanel->Measure();
    QTRY_VERIFY_WITH_TIMEOUT(!figuresPanel->IsMeasuring(), 30000);
    QTableWidget* table = figuresPanel->GetTable();
    ASSERT_EQ(table->rowCount(), 10 + 10);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("1, 2, 3"));
    EXPECT_EQ(table->item(10, 0)->text(), QStringLiteral("1, 2"));
    for (int row = 10; row < 20; ++row)
        EXPECT_TRUE(table->item(row, 7)->text().startsWith(QStringLiteral("no leak"))) << row;
    EXPECT_EQ(figuresPanel->GetAlphaSeries()->count(), 1);
}

TEST(StudioWindowTest, ArrowKeysMoveTheChosenShare)
{
    TempDir dir;
    const QString picture = QString::fromStdString((dir / "photo.png").string());
    ASSERT_TRUE(MakeGreyFrame(0, 16, 16).save(picture));
    CStudioWindow window;
    window.show();
    ASSERT_TRUE(window.OpenFile(picture));
    window.MakeShares();
    QListWidget* list = window.GetRevealPanel()->GetShareList();
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 30000);
    list->setCurrentRow(1);
    CImageView* view = window.GetRevealPanel()->GetRevealView();
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(window.GetSession().GetShares().GetOffset(1), QPoint(2, -1));
    EXPECT_EQ(window.GetSession().GetShares().GetOffset(0), QPoint());
}
}  // namespace
