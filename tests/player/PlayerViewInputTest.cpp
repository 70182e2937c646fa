// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "PlayerTestHost.h"
#include "player/DelayInput.h"
#include "player/SetTimerDlg.h"
#include "player/UpDownCtrl.h"

namespace {

const std::string kRangeMessage = "請輸入一個在 1 到 3000 之間的整數.";
const std::string kIntegerMessage = "請輸入一正整數.";

struct ShownView : testing::Test {
    ShownView()
    {
        g_bFramePainted = 1;
        host.Window().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host.Window()));
    }
    PlayerTestHost host{MakeDoc(MakeTaggedStream(6, 4, 3, 0x80), MakeTaggedStream(6, 4, 3, 0x40))};
    CKVTPlayerView& view = host.View();
    QWidget* surface = view.GetSurface();
    MessageRecorder messages;
};

// --- Delay

TEST_F(ShownView, DelayKeysStepFromTheSliderWithinItsRange)
{
    EXPECT_EQ(view.GetDelay(), 100);
    EXPECT_EQ(view.GetDelayLabel()->text(), "100");
    QSlider* slider = view.GetSlider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Equal);
    QTest::keyClick(slider, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view.GetDelay(), 100);
    QTest::keyClick(slider, Qt::Key_Minus);
    EXPECT_EQ(view.GetDelay(), 99);
    EXPECT_EQ(slider->value(), 99);
    EXPECT_EQ(view.GetDelayLabel()->text(), "99");
    QTest::keyClick(slider, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view.GetDelay(), 98);

    QTest::keyClick(slider, Qt::Key_Home);  // the slider's own key
    EXPECT_EQ(view.GetDelay(), 1);
    EXPECT_EQ(view.GetDelayLabel()->text(), "1");
    QTest::keyClick(slider, Qt::Key_Minus);
    EXPECT_EQ(view.GetDelay(), 1);
    QTest::keyClick(slider, Qt::Key_Equal);
    EXPECT_EQ(view.GetDelay(), 2);
}

TEST_F(ShownView, ArrowKeysMoveTheFirstPictureEvenFromTheSlider)
{
    QSlider* slider = view.GetSlider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(view.GetImage1Pos(), QPoint(12, 65));
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Down);
    QTest::keyClick(slider, Qt::Key_Down);
    EXPECT_EQ(view.GetImage1Pos(), QPoint(13, 67));
    EXPECT_EQ(view.GetImage1Rect(), QRect(13, 67, 6, 4));
    EXPECT_EQ(slider->value(), 100);
}

TEST_F(ShownView, PageUpLowersTheDelayAndPageDownRaisesIt)
{
    QSlider* slider = view.GetSlider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(view.GetDelay(), 90);
    EXPECT_EQ(view.GetDelayLabel()->text(), "90");
    QTest::keyClick(slider, Qt::Key_Home);
    QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_EQ(view.GetDelay(), 11);
    EXPECT_EQ(slider->value(), 11);
    EXPECT_EQ(view.GetDelayLabel()->text(), "11");
}

TEST(PlayerViewNext, PaintsTheFrameItSteppedToBeforeSteppingAgain)
{
    PlayerTestHost host(MakeDoc(MakeTaggedStream(6, 4, 3, 0x80)));
    host.Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.Window()));
    host.View().OnNext();
    g_bFramePainted = 0;
    host.View().OnNext();  // a held Space key: no event loop ran in between
    EXPECT_EQ(g_bFramePainted, 1);
    const QImage shown = host.View().viewport()->grab().toImage();
    EXPECT_EQ(qRed(shown.pixel(host.View().GetImage1Pos())), 0x82);
}

// Runs the SetTimer dialog of the view, typing each text in turn and pressing OK; the dialog is
// cancelled if it is still open after the last. Returns whether it was open after each OK.
std::vector<bool> RunDialog(CKVTPlayerView& view, std::vector<QString> texts)
{
    std::vector<bool> open;
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CSetTimerDlg*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        for (const QString& text : texts) {
            dlg->GetEdit()->setText(text);
            dlg->accept();
            open.push_back(dlg->isVisible());
            if (!dlg->isVisible())
                return;
        }
        dlg->reject();
    });
    view.OnDelaySetting();
    return open;
}

TEST_F(ShownView, SetTimerDialogRefusesBadValuesAndStaysOpen)
{
    const auto open = RunDialog(view, {"0", "3001", "", "12a", "+5", "99999999999", " \t3000 "});
    EXPECT_EQ(open, (std::vector<bool>{true, true, true, true, true, true, false}));
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{kRangeMessage, kRangeMessage, kIntegerMessage,
                                                              kIntegerMessage, kIntegerMessage, kRangeMessage}));
    EXPECT_EQ(view.GetDelay(), 3000);
    EXPECT_EQ(view.GetSlider()->value(), 100);
    EXPECT_EQ(view.GetDelayLabel()->text(), "100");  // the dialog leaves the label alone
}

TEST_F(ShownView, SetTimerDialogDelayReachesTheRunningTimer)
{
    view.OnPlay();
    RunDialog(view, {"2000"});
    EXPECT_EQ(host.Timers().GetPeriod(host.Timers().GetLastID()), 2000);
    EXPECT_EQ(host.Timers().GetActiveCount(), 1u);
    RunDialog(view, {"1"});
    EXPECT_EQ(view.GetDelay(), 1);
    EXPECT_EQ(view.GetSlider()->value(), 1);
    RunDialog(view, {});  // cancelled
    EXPECT_EQ(view.GetDelay(), 1);

    RunDialog(view, {"2000"});
    view.OnDelayUp();  // from the slider's 100, not from 2000
    EXPECT_EQ(view.GetDelay(), 100);
}

TEST(SetTimerDialog, SpinStepsPlainDigitsWithinTheRange)
{
    CSetTimerDlg dlg;
    QTimer::singleShot(0, [&] {
        dlg.GetEdit()->setText("999");
        dlg.GetSpin()->Step(1);
        EXPECT_EQ(dlg.GetEdit()->text(), "1000");
        // The keys stop at the range's ends, also from the largest and smallest ints.
        const struct {
            const char* text;
            Qt::Key key;
            const char* stepped;
        } steps[] = {{"3000", Qt::Key_Up, "3000"},
                     {"1", Qt::Key_Down, "1"},
                     {"2147483647", Qt::Key_Up, "3000"},
                     {"-2147483648", Qt::Key_Down, "1"}};
        for (const auto& step : steps) {
            dlg.GetEdit()->setText(step.text);
            QTest::keyClick(dlg.GetEdit(), step.key);
            EXPECT_EQ(dlg.GetEdit()->text(), step.stepped) << step.text;
        }
        dlg.reject();
    });
    dlg.m_uDelay = 250;
    dlg.exec();
    EXPECT_EQ(dlg.m_uDelay, 250u);
}

TEST(DelayInput, ReadsPlainDigitsOnly)
{
    UINT uDelay = 7;
    EXPECT_FALSE(ReadDelay("0042", uDelay));
    EXPECT_EQ(uDelay, 42u);
    EXPECT_EQ(ReadDelay("0", uDelay), kRangeMessage);
    EXPECT_EQ(ReadDelay("-1", uDelay), kIntegerMessage);
    EXPECT_EQ(ReadDelay("1 000", uDelay), kIntegerMessage);
    EXPECT_EQ(ReadDelay("1,000", uDelay), kIntegerMessage);
    EXPECT_EQ(uDelay, 42u);
}

// --- Dragging

void SendMouse(QWidget* surface, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, pos, surface->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(surface, &event);
}

void Press(QWidget* surface, QPoint pos)
{
    SendMouse(surface, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}

void Drag(QWidget* surface, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
{
    SendMouse(surface, QEvent::MouseMove, pos, Qt::NoButton, buttons, modifiers);
}

TEST_F(ShownView, DragMovesTheFirstPictureWithinTheLimits)
{
    Press(surface, {14, 67});  // grabbed two pixels in
    EXPECT_TRUE(view.IsDragging());
    EXPECT_EQ(surface->cursor().shape(), Qt::BitmapCursor);  // the hand
    Drag(surface, {5, 5});
    EXPECT_EQ(view.GetImage1Pos(), QPoint(12, 65));
    Drag(surface, {100, 120});
    EXPECT_EQ(view.GetImage1Pos(), QPoint(98, 118));
    EXPECT_EQ(view.GetImage1Rect(), QRect(98, 118, 6, 4));
    SendMouse(surface, QEvent::MouseButtonRelease, {101, 121}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(view.IsDragging());
    EXPECT_EQ(view.GetImage1Pos(), QPoint(99, 119));
    Drag(surface, {200, 200}, Qt::NoButton);
    EXPECT_EQ(view.GetImage1Pos(), QPoint(99, 119));
    EXPECT_EQ(surface->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ShownView, PressOutsideThePictureDoesNotDrag)
{
    Press(surface, {11, 65});
    EXPECT_FALSE(view.IsDragging());
    Press(surface, {18, 65});  // x + w is outside
    EXPECT_FALSE(view.IsDragging());
    Drag(surface, {100, 100});
    EXPECT_EQ(view.GetImage1Pos(), QPoint(12, 65));
}

TEST_F(ShownView, ShiftCtrlOrAReleaseOutsideEndTheDragAtTheNextMove)
{
    for (const auto& [buttons, modifiers] : std::vector<std::pair<Qt::MouseButtons, Qt::KeyboardModifiers>>{
             {Qt::LeftButton, Qt::ShiftModifier},
             {Qt::LeftButton, Qt::ControlModifier},
             {Qt::LeftButton | Qt::RightButton, {}},
             {Qt::NoButton, {}}}) {
        const QPoint pt = view.GetImage1Pos();
        Press(surface, pt + QPoint(1, 1));
        ASSERT_TRUE(view.IsDragging());
        Drag(surface, pt + QPoint(31, 21), buttons, modifiers);  // still applied
        EXPECT_EQ(view.GetImage1Pos(), pt + QPoint(30, 20));
        EXPECT_FALSE(view.IsDragging());
        Drag(surface, pt + QPoint(61, 41));
        EXPECT_EQ(view.GetImage1Pos(), pt + QPoint(30, 20));
    }
}

TEST_F(ShownView, ADragIsNotFollowedOutsideTheViewNorEndedByAReleaseThere)
{
    const QPoint outside(view.viewport()->width() + 20, 100);
    Press(surface, {14, 67});
    for (const QPoint pt : {outside, view.GetSlider()->geometry().center()})
        Drag(surface, pt);
    SendMouse(surface, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view.GetImage1Pos(), QPoint(12, 65));
    EXPECT_TRUE(view.IsDragging());
    // Back inside with the button up, the picture follows once and the drag ends.
    Drag(surface, {100, 120}, Qt::NoButton);
    EXPECT_EQ(view.GetImage1Pos(), QPoint(98, 118));
    EXPECT_FALSE(view.IsDragging());
}

TEST_F(ShownView, DraggedOntoTheSecondPictureTheScreenShowsTheAnd)
{
    const QPoint pt2 = view.GetImage2Pos();
    Press(surface, {12, 65});
    Drag(surface, pt2 + QPoint(3, 2));
    SendMouse(surface, QEvent::MouseButtonRelease, pt2 + QPoint(3, 2), Qt::LeftButton, Qt::NoButton);
    const QImage shown = view.viewport()->grab().toImage();
    EXPECT_EQ(qRed(shown.pixel(pt2 + QPoint(4, 3))), 0x80 & 0x40);
    EXPECT_EQ(qRed(shown.pixel(pt2 + QPoint(1, 1))), 0x40);
    EXPECT_EQ(qRed(shown.pixel(12, 65)), qRed(view.palette().window().color().rgb()));  // nothing stale left
}

// --- Context menu

std::vector<bool> MenuStates(CKVTPlayerView& view)
{
    const std::unique_ptr<QMenu> menu = view.CreateContextMenu();
    std::vector<bool> states;
    for (const QAction* action : menu->actions())
        states.push_back(action->isEnabled());
    return states;
}

TEST_F(ShownView, ContextMenuGreysPerState)
{
    const std::unique_ptr<QMenu> menu = view.CreateContextMenu();
    std::vector<QString> texts;
    for (const QAction* action : menu->actions())
        texts.push_back(action->text());
    EXPECT_EQ(texts, (std::vector<QString>{"播放(&P)", "停止(&S)", "暫停(&H)", "下一張(&B)", "上一張(&B)"}));
    EXPECT_EQ(MenuStates(view), (std::vector<bool>{true, true, true, true, true}));
    view.OnPlay();
    EXPECT_EQ(MenuStates(view), (std::vector<bool>{false, true, true, false, false}));

    PlayerTestHost empty(std::make_unique<CKVTPlayerDoc>());
    EXPECT_EQ(MenuStates(empty.View()), (std::vector<bool>(5, false)));
}

TEST_F(ShownView, ContextMenuCommandsGoThroughTheRouter)
{
    SendMouse(surface, QEvent::MouseButtonRelease, {300, 300}, Qt::RightButton, Qt::NoButton);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    QAction* pause = popup->actions().at(2);
    pause->trigger();  // idle: offered, but the router refuses it
    EXPECT_FALSE(view.IsPlaying());
    popup->actions().at(0)->trigger();
    EXPECT_TRUE(view.IsPlaying());
    popup->close();
}

}  // namespace
