// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's window offscreen, driven as a user would: open a picture, choose (3, 5), make the
// shares, check three of them and read what they show.

#include <gtest/gtest.h>

#include <cmath>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QLineSeries>
#include <QTest>

#include <QAction>
#include <QSettings>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "GreyFrames.h"
#include "RunKvt.h"
#include "TestVideo.h"
#include "TempDir.h"
#include "studio/ElidedLabel.h"
#include "studio/FiguresPanel.h"
#include "studio/ImageView.h"
#include "studio/RevealPanel.h"
#include "studio/SchemePanel.h"
#include "studio/SourcePanel.h"
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
    auto* family = ChildWithTip<QComboBox>(scheme, QStringLiteral("naor-shamir: "));
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
    ChildWithTip<QLineEdit>(scheme, QStringLiteral("Patterns from"))->setText(QStringLiteral("1"));
    EXPECT_TRUE(scheme->GetRefusalLabel()->text().isEmpty());
    ASSERT_TRUE(scheme->GetMakeButton()->isEnabled());

    QTest::mouseClick(scheme->GetMakeButton(), Qt::LeftButton);
    QListWidget* list = window.GetRevealPanel()->GetShareList();
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 5, 30000);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(std::filesystem::exists(dir / ("photo-Shadow" + std::to_string(i) + ".kvt")));
    // Shares on show can be exported and printed.
    for (const QKeySequence& keys : {QKeySequence(QStringLiteral("Ctrl+E")), QKeySequence(QStringLiteral("Ctrl+P"))}) {
        const auto actions = window.findChildren<QAction*>();
        const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->shortcut() == keys; });
        ASSERT_NE(found, actions.end()) << keys.toString().toStdString();
        EXPECT_TRUE((*found)->isEnabled());
    }

    for (int i : {1, 3})
        list->item(i)->setCheckState(Qt::Unchecked);
    const QImage reveal = window.GetRevealPanel()->GetRevealView()->GetImage();
    EXPECT_EQ(reveal.size(), QSize(64, 48));
    const QString figures = window.GetRevealPanel()->GetFiguresLabel()->GetText();
    EXPECT_TRUE(figures.startsWith(QStringLiteral("Shares checked: 3\nh/m "))) << figures.toStdString();
    EXPECT_TRUE(figures.contains(QStringLiteral(", alpha "))) << figures.toStdString();
    const double threeAlpha = window.GetSession().MeasureChecked()->contrast.alpha.value();
    EXPECT_EQ(window.GetSession().GetShares().GetChecked(), (std::vector<int>{0, 2, 4}));
    // Two of a (3, 5) scheme show nothing.
    list->item(4)->setCheckState(Qt::Unchecked);
    const QString two = window.GetRevealPanel()->GetFiguresLabel()->GetText();
    EXPECT_TRUE(two.startsWith(QStringLiteral("Shares checked: 2\nh/m "))) << two.toStdString();
    EXPECT_LT(window.GetSession().MeasureChecked()->contrast.alpha.value(), threeAlpha);
    EXPECT_TRUE(two.contains(QStringLiteral("Shows nothing of the secret by its patterns (p = "))) << two.toStdString();

    // Every set of three and of two, measured in the background; in no two is the secret found.
    CFiguresPanel* figuresPanel = window.GetFiguresPanel();
    figuresPanel->Measure();
    QTRY_VERIFY_WITH_TIMEOUT(!figuresPanel->IsMeasuring(), 30000);
    QTableWidget* table = figuresPanel->GetTable();
    ASSERT_EQ(table->rowCount(), 10 + 10);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("1, 2, 3"));
    EXPECT_EQ(table->item(10, 0)->text(), QStringLiteral("1, 2"));
    for (int row = 10; row < 20; ++row)
        EXPECT_TRUE(table->item(row, 7)->text().startsWith(QStringLiteral("not found"))) << row;
    EXPECT_EQ(figuresPanel->GetAlphaSeries()->count(), 1);
    EXPECT_TRUE(figuresPanel->GetAlphaSeries()->pointsVisible());  // one point draws no line
}

TEST(StudioWindowTest, FrameAxisIsLabelledAtRoundStepsThatFit)
{
    for (const double frames : {1.0, 5.0, 7.0, 30.0, 99.0, 250.0, 1799.0, 15000.0}) {
        const double step = FrameLabelStep(frames);
        EXPECT_LE(frames / step, 6) << frames;
        EXPECT_TRUE(step == 1 || frames / step > 2) << frames;  // no lone label where more fit
        const double power = std::pow(10, std::floor(std::log10(step)));
        const double mantissa = step / power;
        EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << step;
    }
}

TEST(StudioWindowTest, SchemePanelNamesVariantsAndSaysKvtsSeedWarning)
{
    TempDir dir;
    const QString picture = QString::fromStdString((dir / "photo.png").string());
    ASSERT_TRUE(MakeGreyFrame(0, 16, 16).save(picture));
    CStudioWindow window;
    ASSERT_TRUE(window.OpenFile(picture));
    CSchemePanel* scheme = window.GetSchemePanel();
    QComboBox* variant = scheme->GetVariantBox();
    for (const char* name : {"1", "2", "3", "compact", "chen-tsao"})
        EXPECT_GE(variant->findText(QString::fromUtf8(name)), 0) << name;
    auto* family = ChildWithTip<QComboBox>(scheme, QStringLiteral("naor-shamir: "));
    family->setCurrentIndex(family->findText(QStringLiteral("random-grid")));
    variant->setCurrentIndex(variant->findText(QStringLiteral("2")));
    EXPECT_EQ(window.GetSession().GetSchemeSettings().request.variant, 2);
    EXPECT_TRUE(scheme->GetMakeButton()->isEnabled());

    // The warning beside a seed is the one kvt shadows --seed gives.
    auto* seed = ChildWithTip<QLineEdit>(scheme, QStringLiteral("Patterns from"));
    EXPECT_TRUE(scheme->GetSeedWarning()->isHidden());
    seed->setText(QStringLiteral("5"));
    EXPECT_FALSE(scheme->GetSeedWarning()->isHidden());
    ASSERT_TRUE(MakeGreyFrame(0, 8, 8).save(QString::fromStdString((dir / "s.png").string())));
    ASSERT_EQ(RunKvt({"import", (dir / "s.png").string(), "-o", (dir / "s.kvt").string()}, dir / "e").status, 0);
    const KvtRun run = RunKvt({"shadows", (dir / "s.kvt").string(), "--seed", "5"}, dir / "e");
    EXPECT_NE(run.err.find("kvt shadows: " + scheme->GetSeedWarning()->text().toStdString() + "\n"), std::string::npos)
        << run.err;

    // A key draws nothing at random: no seed with it, and nothing to make until one is chosen.
    scheme->GetKindBox()->setCurrentIndex(scheme->GetKindBox()->findData(static_cast<int>(ShareKind::key)));
    EXPECT_FALSE(seed->isEnabled());
    EXPECT_TRUE(scheme->GetSeedWarning()->isHidden());
    EXPECT_FALSE(scheme->GetMakeButton()->isEnabled());
    EXPECT_FALSE(scheme->GetRefusalLabel()->text().isEmpty());
}

TEST(StudioWindowTest, PlaysAtTheSourcesRate)
{
    TempDir dir;
    const TestVideo video{"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_GRAY8, 32, 24, {1, 25}};
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", video, {10, 60, 110, 160}));
    CStudioWindow window;
    const auto play = [&window] {
        const auto actions = window.findChildren<QAction*>();
        return *std::find_if(actions.begin(), actions.end(),
                             [](QAction* a) { return a->shortcut() == QKeySequence(Qt::Key_Space); });
    };
    ASSERT_TRUE(window.OpenFile(QString::fromStdString((dir / "clip.mkv").string())));
    play()->trigger();
    EXPECT_TRUE(window.GetPlayTimer().isActive());
    EXPECT_EQ(window.GetPlayTimer().interval(), 40);
    play()->trigger();
    // Streams, made of these shares, say no rate: the player's delay.
    window.MakeShares();
    QTRY_COMPARE_WITH_TIMEOUT(window.GetRevealPanel()->GetShareList()->count(), 2, 30000);
    // Playing, the figures of a darker frame wait for their second; stopping shows them.
    CRevealPanel* reveal = window.GetRevealPanel();
    const CElidedLabel* figures = reveal->GetFiguresLabel();
    const QString first = figures->GetText();
    reveal->SetPlaying(true);
    std::string error;
    ASSERT_TRUE(window.GetSession().SetFrameIndex(3, error)) << error;
    reveal->Refresh();
    EXPECT_EQ(figures->GetText(), first);
    reveal->SetPlaying(false);
    EXPECT_NE(figures->GetText(), first);
    ASSERT_TRUE(window.OpenFile(QString::fromStdString((dir / "clip-Shadow1.kvt").string())));
    play()->trigger();
    EXPECT_EQ(window.GetPlayTimer().interval(), 100);
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

TEST(StudioWindowTest, LabelsKeepTheirSizeWhateverTheySay)
{
    QWidget holder;
    auto* label = new CElidedLabel(2);
    auto* layout = new QVBoxLayout(&holder);
    layout->addWidget(label);
    label->SetText(QStringLiteral("short"));
    const QSize minimum = holder.minimumSizeHint();
    holder.resize(200, holder.sizeHint().height());
    holder.show();
    const int height = label->height();
    EXPECT_EQ(label->text(), QStringLiteral("short"));
    EXPECT_FALSE(label->IsCut());
    EXPECT_TRUE(label->toolTip().isEmpty());

    const QString lengthy = QStringLiteral("a_file_name_without_any_space_as_long_as_a_path_can_be.png\n") +
                            QStringLiteral("and many words after it, on and on, far wider than the label ").repeated(3);
    label->SetText(lengthy);
    EXPECT_EQ(holder.minimumSizeHint(), minimum);
    EXPECT_EQ(label->height(), height);
    EXPECT_TRUE(label->IsCut());
    EXPECT_EQ(label->toolTip(), lengthy);
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("a_file_name"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("…"))) << lines[1].toStdString();
    for (const QString& line : lines)
        EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width());
    // Wider, it says more; back to a short text, all of it and no tooltip.
    holder.resize(2000, holder.height());
    EXPECT_GT(label->text().size(), lines.join(QLatin1Char('\n')).size());
    label->SetText(QStringLiteral("short"));
    EXPECT_FALSE(label->IsCut());
    EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST(StudioWindowTest, TheRevealHasTheRoomAndKeepsItWhateverTheLabelsSay)
{
    TempDir dir;
    const QString picture = QString::fromStdString((dir / "photo.png").string());
    ASSERT_TRUE(MakeGreyFrame(0, 128, 128).save(picture));
    for (const char* key : {"geometry", "panels", "reveal"})
        QSettings().remove(QString::fromLatin1(key));
    auto window = std::make_unique<CStudioWindow>();
    window->resize(1190, 850);  // as it first opens on a 1400 x 1000 screen
    window->show();
    ASSERT_TRUE(window->OpenFile(picture));
    window->MakeShares();
    QTRY_COMPARE_WITH_TIMEOUT(window->GetRevealPanel()->GetShareList()->count(), 2, 30000);
    CRevealPanel* reveal = window->GetRevealPanel();
    CFiguresPanel* figures = window->GetFiguresPanel();
    const auto layoutNow = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return std::vector<QRect>{window->GetSourcePanel()->geometry(), window->GetSchemePanel()->geometry(),
                                  reveal->geometry(), figures->geometry()};
    };
    const std::vector<QRect> before = layoutNow();
    // The widest column, most of its height, and the share drawn larger than the figures beneath.
    EXPECT_GT(reveal->width(), window->GetSourcePanel()->width());
    EXPECT_GT(reveal->width(), window->GetSchemePanel()->width());
    EXPECT_GT(reveal->height(), 3 * (reveal->height() + figures->height()) / 5);
    EXPECT_GT(reveal->GetRevealView()->ImageRect().height(), figures->height());

    // Long texts in the labels move nothing.
    figures->Measure();
    QTRY_VERIFY_WITH_TIMEOUT(!figures->IsMeasuring(), 30000);
    EXPECT_EQ(layoutNow(), before);
    const std::filesystem::path longName = dir / (std::string(150, 'n') + ".png");
    ASSERT_TRUE(MakeGreyFrame(0, 128, 128).save(QString::fromStdString(longName.string())));
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(longName.string())));
    EXPECT_EQ(layoutNow(), before);

    // What the window gains goes to the reveal; the layout chosen is the next window's.
    window->resize(window->size() + QSize(200, 100));
    const std::vector<QRect> larger = layoutNow();
    EXPECT_GE(larger[2].width(), before[2].width() + 150);
    EXPECT_EQ(larger[2].height(), before[2].height() + 100);
    EXPECT_EQ(larger[0].width(), before[0].width());
    EXPECT_EQ(larger[3].height(), before[3].height());
    auto* revealSplitter = qobject_cast<QSplitter*>(reveal->parentWidget());
    ASSERT_TRUE(revealSplitter);
    revealSplitter->setSizes({revealSplitter->height() / 2, revealSplitter->height() / 2});
    const QList<int> chosen = revealSplitter->sizes();
    window->close();
    window = std::make_unique<CStudioWindow>();
    window->show();
    EXPECT_EQ(qobject_cast<QSplitter*>(window->GetRevealPanel()->parentWidget())->sizes(), chosen);
}
}  // namespace
