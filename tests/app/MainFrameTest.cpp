// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrame.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "AppTestFixture.h"
#include "app/ChildFrame.h"
#include "app/KeyIndicators.h"
#include "framework/CommandIds.h"
#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"

namespace {
std::vector<std::string> StatusTexts(const QStatusBar& bar)
{
    std::vector<std::string> texts;
    for (const QLabel* label : bar.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        texts.push_back(label->isVisible() ? label->text().toStdString() : "(hidden)");
    return texts;
}
}  // namespace

class FullScreenTest : public AppTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start({QString::fromStdString(StreamFile("demo.kvt").string())}));
        QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
    }

    void Enter()
    {
        ASSERT_FALSE(Frame().IsFullScreen());
        ASSERT_TRUE(Router().Execute(cmd::ID_FULL_SCREEN));
        ASSERT_TRUE(Frame().IsFullScreen());
    }
    void LeaveWithEsc()
    {
        QTest::keyClick(Frame().GetMDIArea().currentSubWindow()->widget(), Qt::Key_Escape);
        QTRY_VERIFY(!Frame().isFullScreen());
    }
};

TEST_F(FullScreenTest, EnteringHidesTheBarsAndShowsTheFloatingBar)
{
    Frame().showNormal();
    Frame().setGeometry(30, 40, 500, 400);
    Enter();
    EXPECT_TRUE(Frame().isFullScreen());
    EXPECT_FALSE(Frame().GetToolBar().isVisible());
    EXPECT_FALSE(Frame().statusBar()->isVisible());
    EXPECT_FALSE(Frame().menuBar()->isVisible());
    EXPECT_TRUE(Router().QueryState(cmd::ID_FULL_SCREEN).GetCheck());
    EXPECT_TRUE(Router().Action(cmd::ID_FULL_SCREEN)->isChecked());

    QWidget* bar = Frame().GetFullScreenBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->windowTitle(), "Full Screen");
    const QList<QToolBar*> buttons = bar->findChildren<QToolBar*>();
    ASSERT_EQ(buttons.size(), 1);
    ASSERT_EQ(buttons[0]->actions().size(), 1);
    EXPECT_EQ(buttons[0]->actions()[0], Router().Action(cmd::ID_LEAVE_FULL_SCREEN));
    EXPECT_TRUE(Router().Action(cmd::ID_LEAVE_FULL_SCREEN)->isEnabled());

    // A click on the bar's button leaves, as Esc does; the bar goes without its button
    // being destroyed under the click.
    QTest::mouseClick(buttons[0]->widgetForAction(buttons[0]->actions()[0]), Qt::LeftButton);
    EXPECT_FALSE(Frame().IsFullScreen());
    EXPECT_EQ(Frame().GetFullScreenBar(), nullptr);
}

TEST_F(FullScreenTest, EscRestoresANormalPlacementAndBothBars)
{
    Frame().showNormal();
    Frame().setGeometry(30, 40, 500, 400);
    QTRY_COMPARE(Frame().geometry(), QRect(30, 40, 500, 400));
    Enter();
    LeaveWithEsc();
    EXPECT_FALSE(Frame().IsFullScreen());
    EXPECT_FALSE(Frame().isMaximized());
    QTRY_COMPARE(Frame().geometry(), QRect(30, 40, 500, 400));
    EXPECT_TRUE(Frame().GetToolBar().isVisible());
    EXPECT_TRUE(Frame().statusBar()->isVisible());
    EXPECT_TRUE(Frame().menuBar()->isVisible());
    EXPECT_FALSE(Router().Action(cmd::ID_FULL_SCREEN)->isChecked());
}

TEST_F(FullScreenTest, EscRestoresAMaximisedWindow)
{
    Frame().showMaximized();
    QTRY_VERIFY(Frame().isMaximized());
    Enter();
    LeaveWithEsc();
    QTRY_VERIFY(Frame().isMaximized());
}

TEST_F(FullScreenTest, EscOutsideFullScreenDoesNothing)
{
    Frame().showNormal();
    Frame().setGeometry(30, 40, 500, 400);
    QTest::keyClick(&Frame(), Qt::Key_Escape);
    EXPECT_FALSE(Frame().IsFullScreen());
    EXPECT_EQ(Frame().GetFullScreenBar(), nullptr);
    EXPECT_TRUE(Frame().GetToolBar().isVisible());
}

TEST_F(AppTest, MenuWithoutAChildWindowHasNoFullScreenItem)
{
    ASSERT_TRUE(Start());
    for (QMenu* menu : Frame().GetMenus())
        EXPECT_FALSE(menu->actions().contains(Router().Action(cmd::ID_FULL_SCREEN)));
}

TEST_F(AppTest, TheStatusBarShowsReadyOrTheHoveredCommandsPrompt)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("demo.kvt").string())}));
    QStatusBar& bar = *Frame().statusBar();
    EXPECT_EQ(StatusTexts(bar).front(), "就緒");

    Router().Action(cmd::ID_PLAY)->showStatusText(&Frame());
    EXPECT_EQ(bar.currentMessage(), "播放");
    EXPECT_EQ(StatusTexts(bar).front(), "(hidden)");
    Router().Action(cmd::ID_MAKER_WIZARD)->showStatusText(&Frame());
    EXPECT_EQ(bar.currentMessage(), "產生一個 KVT 檔");
    EXPECT_EQ(Router().Action(cmd::ID_MAKER_WIZARD)->toolTip(), "KVT 檔產生精靈");
    EXPECT_EQ(Router().Action(cmd::ID_DELAY_SETTING)->toolTip(), "相關 Shadows 延遲設定");
    EXPECT_EQ(Router().Action(cmd::ID_FILE_OPEN)->toolTip(), "開啟舊檔");

    // Leaving the item brings the idle text back.
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(&Frame(), &leave);
    EXPECT_EQ(StatusTexts(bar).front(), "就緒");
}

TEST_F(AppTest, TheKeyIndicatorsShowWhileTheirLockIsOn)
{
    QStatusBar bar;
    unsigned locks = 0;
    CKeyIndicators indicators(bar, [&locks] { return locks; });
    bar.show();
    EXPECT_EQ(StatusTexts(bar), (std::vector<std::string>{"", "", ""}));
    locks = CKeyIndicators::kCapsLock | CKeyIndicators::kScrollLock;
    indicators.Update();
    EXPECT_EQ(StatusTexts(bar), (std::vector<std::string>{"CAP", "", "SCRL"}));
    locks = CKeyIndicators::kNumLock;
    QTest::keyRelease(&bar, Qt::Key_NumLock);
    EXPECT_EQ(StatusTexts(bar), (std::vector<std::string>{"", "NUM", ""}));
}

TEST_F(AppTest, TheToolbarHasItsButtonsAndSeparatorsInOrder)
{
    ASSERT_TRUE(Start());
    const std::vector<int> order = {cmd::ID_FILE_NEW, cmd::ID_FILE_OPEN, cmd::ID_FILE_SAVE, 0, cmd::ID_PLAY,
                                    cmd::ID_PAUSE,    cmd::ID_STOP,      0, cmd::ID_PREVIOUS, cmd::ID_NEXT,
                                    0,                cmd::ID_DELAY_SETTING, 0, cmd::ID_APP_ABOUT};
    const QList<QAction*> actions = Frame().GetToolBar().actions();
    ASSERT_EQ(static_cast<std::size_t>(actions.size()), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == 0)
            EXPECT_TRUE(actions[static_cast<int>(i)]->isSeparator()) << i;
        else
            EXPECT_EQ(actions[static_cast<int>(i)], Router().Action(order[i])) << i;
    }
}

TEST_F(AppTest, KeysReachTheViewWhileTheSliderHasTheFocus)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("demo.kvt", 3).string())}));
    ASSERT_TRUE(Activate());
    auto& frame = static_cast<CChildFrame&>(*Template().GetActiveFrame());
    CKVTPlayerView& view = frame.GetView();
    QSlider* slider = view.GetSlider();
    ASSERT_NE(slider, nullptr);
    slider->setFocus();
    QTRY_VERIFY(slider->hasFocus());
    const int delay = view.GetDelay();
    const QPoint image = view.GetImage1Pos();

    // Down would move the slider; the key is the view's: the first picture goes one pixel down.
    QTest::keyClick(slider, Qt::Key_Down);
    EXPECT_EQ(view.GetImage1Pos(), image + QPoint(0, 1));
    EXPECT_EQ(view.GetDelay(), delay);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(view.GetImage1Pos(), image + QPoint(1, 1));
    QTest::keyClick(slider, Qt::Key_Minus);
    EXPECT_EQ(view.GetDelay(), delay - 1);
    QTest::keyClick(slider, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view.GetDelay(), delay - 2);
    QTest::keyClick(slider, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view.GetDelay(), delay - 1);
    QTest::keyClick(slider, Qt::Key_Equal);
    EXPECT_EQ(view.GetDelay(), delay);

    QTest::keyClick(slider, Qt::Key_P);
    EXPECT_TRUE(view.IsPlaying());
    QTest::keyClick(slider, Qt::Key_S);
    EXPECT_FALSE(view.IsPlaying());

    // Ctrl+O is the application's.
    bool asked = false;
    Template().SetFileDialog([&asked](QWidget*, bool, const QString&, const QString&) {
        asked = true;
        return std::optional<std::filesystem::path>();
    });
    QTest::keyClick(slider, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(AppTest, TheCaptionNamesTheActiveDocumentInBracketsWhileItsWindowIsMaximised)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("a.kvt").string())}));
    const auto title = [this] { return Frame().windowTitle().toStdString(); };
    QMdiSubWindow* first = Frame().GetMDIArea().currentSubWindow();
    EXPECT_EQ(title(), "KVTPlayer - a.kvt");
    first->showMaximized();
    EXPECT_EQ(title(), "KVTPlayer - [a.kvt]");
    first->showNormal();
    EXPECT_EQ(title(), "KVTPlayer - a.kvt");
    ASSERT_NE(m_app->OpenDocumentFile(StreamFile("b.kvt")), nullptr);
    Frame().GetMDIArea().currentSubWindow()->showMaximized();
    EXPECT_EQ(title(), "KVTPlayer - [b.kvt]");
    Frame().GetMDIArea().setActiveSubWindow(first);  // maximised in its turn
    first->showNormal();
    EXPECT_EQ(title(), "KVTPlayer - a.kvt");
    Frame().GetMDIArea().closeAllSubWindows();
    EXPECT_EQ(title(), "KVTPlayer");
}

TEST_F(AppTest, TheWindowMenuListsTheChildWindowsWithTheActiveOneChecked)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("a.kvt").string())}));
    ASSERT_NE(m_app->OpenDocumentFile(StreamFile("b.kvt")), nullptr);
    QMenu* windowMenu = Frame().GetMenus()[4];
    for (int round = 0; round < 2; ++round) {  // built afresh each time it opens
        emit windowMenu->aboutToShow();
        EXPECT_EQ(Entries(windowMenu), (std::vector<std::string>{"新增視窗(&N)", "重疊顯示(&C)", "並排顯示(&T)",
                                                                  "排列圖示(&A)", "-", "&1 a.kvt", "&2 b.kvt"}));
    }
    const QList<QAction*> actions = windowMenu->actions();
    EXPECT_FALSE(actions[5]->isChecked());
    EXPECT_TRUE(actions[6]->isChecked());
    actions[5]->trigger();
    EXPECT_EQ(Template().GetActiveDocument()->GetTitle(), "a.kvt");
}

TEST_F(AppTest, TheViewMenuShowsAndHidesTheBarsWithTheirChecks)
{
    ASSERT_TRUE(Start());
    Router().UpdateActions();
    EXPECT_TRUE(Router().Action(cmd::ID_VIEW_TOOLBAR)->isChecked());
    ASSERT_TRUE(Router().Execute(cmd::ID_VIEW_TOOLBAR));
    EXPECT_TRUE(Frame().GetToolBar().isHidden());
    EXPECT_FALSE(Router().Action(cmd::ID_VIEW_TOOLBAR)->isChecked());
    ASSERT_TRUE(Router().Execute(cmd::ID_VIEW_STATUS_BAR));
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_FALSE(Router().Action(cmd::ID_VIEW_STATUS_BAR)->isChecked());
    ASSERT_TRUE(Router().Execute(cmd::ID_VIEW_TOOLBAR));
    EXPECT_FALSE(Frame().GetToolBar().isHidden());
    EXPECT_TRUE(Router().Action(cmd::ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(AppTest, TheSaveKeyDoesNothingForADocumentThatCantBeSaved)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Activate());
    int dialogs = 0;
    Template().SetFileDialog([&dialogs](QWidget*, bool, const QString&, const QString&) {
        ++dialogs;
        return std::optional<std::filesystem::path>();
    });
    for (int mode : {3, 0}) {
        auto* doc = static_cast<CKVTPlayerDoc*>(Template().CreateNewDocument());
        doc->SetTitle("New-Stacked-Stream");
        doc->m_nMode = mode;
        Template().ShowNewFrame(*doc);
        QTest::keyClick(Template().GetActiveFrame()->widget(), Qt::Key_S, Qt::ControlModifier);
    }
    EXPECT_EQ(dialogs, 1);  // the stacked pair's Ctrl+S never ran
}
