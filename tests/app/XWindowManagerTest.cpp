// SPDX-License-Identifier: GPL-3.0-or-later
// The player's windows under a window manager (openbox on a private X server): how they stack,
// which one is active after a close, how large a first window is, where the full-screen bar goes.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

#include "AppTestFixture.h"
#include "XServer.h"
#include "framework/CommandIds.h"

namespace {
// Keeps the splash up for as long as a test looks at it: its timer never ticks.
class SplashTimerStopper : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return event->type() == QEvent::Timer && dynamic_cast<CSplashWnd*>(watched) != nullptr;
    }
};

// True when the window manager stacks `upper` somewhere above `lower`.
bool StackedAbove(const QWidget& upper, const QWidget& lower)
{
    const std::vector<WId> stack = StackingOrder();
    const auto up = std::find(stack.begin(), stack.end(), upper.winId());
    const auto low = std::find(stack.begin(), stack.end(), lower.winId());
    return up != stack.end() && low != stack.end() && up > low;
}

class XWindowManagerTest : public AppTest {
protected:
    void SetUp() override { SKIP_WITHOUT_X_SERVER(); }

    // Opens a new file `name` as Open does; its window, which is then the active one.
    QMdiSubWindow* Open(const std::string& name)
    {
        if (!m_app->OpenDocumentFile(StreamFile(name)))
            return nullptr;
        return Frame().GetMDIArea().currentSubWindow();
    }
    bool MakeActive(QMdiSubWindow* child) const
    {
        Frame().GetMDIArea().setActiveSubWindow(child);
        return Frame().GetMDIArea().activeSubWindow() == child;
    }
};

TEST_F(XWindowManagerTest, TheSplashStaysAboveItsMaximisedOwner)
{
    SplashTimerStopper stopper;
    qApp->installEventFilter(&stopper);
    m_app = std::make_unique<CKVTPlayerApp>();
    ASSERT_TRUE(m_app->InitInstance({}));
    CSplashWnd* splash = CSplashWnd::Current();
    ASSERT_NE(splash, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame().isMaximized() && StackedAbove(*splash, Frame()); },
                                kWindowManagerWaitMs))
        << "the splash is below its owner";

    // Activated, the owner still keeps the splash above it.
    Frame().raise();
    ASSERT_TRUE(Activate());
    EXPECT_TRUE(StackedAbove(*splash, Frame()));
    qApp->removeEventFilter(&stopper);
    splash->HideSplash();
}

TEST_F(XWindowManagerTest, ClosingAWindowActivatesTheOneUsedBefore)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Activate());
    QMdiSubWindow* first = Open("first.kvt");
    QMdiSubWindow* second = Open("second.kvt");
    QMdiSubWindow* third = Open("third.kvt");
    ASSERT_TRUE(first && second && third);
    ASSERT_TRUE(MakeActive(second));
    ASSERT_TRUE(MakeActive(third));

    // Closed, each active window hands over to the one used before it.
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_CLOSE));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame().GetMDIArea().activeSubWindow() == second; }, kWindowManagerWaitMs));
    ASSERT_TRUE(MakeActive(first));
    ASSERT_TRUE(MakeActive(second));
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_CLOSE));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frame().GetMDIArea().activeSubWindow() == first; }, kWindowManagerWaitMs));
}

TEST_F(XWindowManagerTest, AFileNamedOnTheCommandLineGetsTheSizeOfOneOpenedLater)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("named.kvt").string())}));
    const QMdiSubWindow* named = Frame().GetMDIArea().currentSubWindow();
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(Frame().isMaximized());
    const QSize size = named->size();
    // Opened later, once the window manager has maximised the main window.
    ASSERT_TRUE(QTest::qWaitFor([this] {
        return Frame().frameGeometry().size() == Frame().screen()->availableGeometry().size();
    }, kWindowManagerWaitMs));
    const QMdiSubWindow* opened = Open("opened.kvt");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(size, opened->size());
    EXPECT_EQ(size, Frame().GetMDIArea().viewport()->size() * 3 / 4);
}

TEST_F(XWindowManagerTest, TiledWindowsKeepTheirPlacesWhenTheAreaChanges)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Activate());
    QMdiSubWindow* first = Open("first.kvt");
    ASSERT_TRUE(first && Open("second.kvt") && Open("third.kvt"));
    ASSERT_TRUE(Router().Execute(cmd::ID_WINDOW_TILE_HORZ));
    const QWidget& area = *Frame().GetMDIArea().viewport();
    const auto places = [this] {
        std::vector<QRect> rects;
        for (const QMdiSubWindow* child : Frame().GetMDIArea().subWindowList(QMdiArea::CreationOrder))
            rects.push_back(child->geometry());
        return rects;
    };
    const std::vector<QRect> tiled = places();
    ASSERT_TRUE(MakeActive(first));  // a new tiling would put it first

    const auto areaChanges = [this, &area](int command) {
        const QSize before = area.size();
        return Router().Execute(command) &&
               QTest::qWaitFor([&] { return area.size() != before; }, kWindowManagerWaitMs);
    };
    for (const int command : {cmd::ID_VIEW_STATUS_BAR, cmd::ID_FULL_SCREEN, cmd::ID_LEAVE_FULL_SCREEN}) {
        ASSERT_TRUE(areaChanges(command)) << command;
        EXPECT_EQ(places(), tiled) << command;
    }
}

TEST_F(XWindowManagerTest, TheFullScreenBarFloatsWithItsCaptionOnTheScreen)
{
    ASSERT_TRUE(Start({QString::fromStdString(StreamFile("shown.kvt").string())}));
    ASSERT_TRUE(Router().Execute(cmd::ID_FULL_SCREEN));
    QWidget* bar = Frame().GetFullScreenBar();
    ASSERT_NE(bar, nullptr);
    // The frame's corner, not the inside's, is at the point once the window manager has framed it.
    ASSERT_TRUE(QTest::qWaitFor([bar] { return bar->frameGeometry() != bar->geometry(); }, kWindowManagerWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->frameGeometry().topLeft() == QPoint(600, 5); }, kWindowManagerWaitMs))
        << bar->frameGeometry().x() << ", " << bar->frameGeometry().y();
    EXPECT_TRUE(bar->screen()->geometry().contains(bar->frameGeometry()));
    Frame().LeaveFullScreen();
}
}  // namespace
