// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window: which events close it and are dropped, its own 750 ms close, the switches and
// the missing picture that keep it away, and the compiled-in pictures it and the rest rely on.

#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "Pictures.h"
#include "app/SplashWnd.h"

namespace {
class PaintCounter : public QWidget {
public:
    int m_nPaints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++m_nPaints; }
};

// What the application's per-message filter does first.
class SplashFilter : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return CSplashWnd::FilterAppMessage(event); }
};

class SplashWndTest : public testing::Test {
protected:
    void SetUp() override { CSplashWnd::EnableSplash(true); }
    void TearDown() override
    {
        if (CSplashWnd* splash = CSplashWnd::Current())
            splash->HideSplash();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CSplashWnd::EnableSplash(false);
    }
    static void Show(QWidget& widget)
    {
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
    MessageRecorder m_messages;
};

TEST_F(SplashWndTest, ShowsThePictureCentredOnTheScreenWhileTheOwnerIsHidden)
{
    QWidget owner;
    CSplashWnd::ShowSplash(&owner);
    CSplashWnd* splash = CSplashWnd::Current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(474, 313));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash->geometry().center(), owner.screen()->availableGeometry().center());
    const QImage painted = splash->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(pictures::kSplash).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(painted == picture);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SplashWndTest, OnlyOneSplashAtATime)
{
    QWidget owner;
    CSplashWnd::ShowSplash(&owner);
    CSplashWnd* first = CSplashWnd::Current();
    CSplashWnd::ShowSplash(&owner);
    EXPECT_EQ(CSplashWnd::Current(), first);
}

TEST_F(SplashWndTest, NoSplashWhenSwitchedOffOrThePictureIsMissing)
{
    QWidget owner;
    CSplashWnd::ShowSplash(&owner, QStringLiteral(":/pictures/no-such-picture.png"));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    CSplashWnd::EnableSplash(false);  // what Embedding or Automation on the command line do
    CSplashWnd::ShowSplash(&owner);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SplashWndTest, ClosesByItselfAfter750Milliseconds)
{
    QWidget owner;
    QElapsedTimer clock;
    clock.start();
    CSplashWnd::ShowSplash(&owner);
    QPointer<CSplashWnd> splash = CSplashWnd::Current();
    ASSERT_FALSE(splash.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(CSplashWnd::Current() == nullptr, 5000);
    EXPECT_GE(clock.elapsed(), 745);
    // The object goes with its window.
    QTRY_VERIFY(splash.isNull());
}

TEST_F(SplashWndTest, HidingRepaintsTheOwnerAtOnce)
{
    PaintCounter owner;
    Show(owner);
    CSplashWnd::ShowSplash(&owner);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    const int nBefore = owner.m_nPaints;
    CSplashWnd::Current()->HideSplash();
    EXPECT_GT(owner.m_nPaints, nBefore);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

struct FilteredEvent {
    const char* name;
    std::function<std::unique_ptr<QEvent>()> make;
    bool bCloses;
};

std::unique_ptr<QEvent> Mouse(QEvent::Type type, Qt::MouseButton button)
{
    return std::make_unique<QMouseEvent>(type, QPointF(5, 5), QPointF(5, 5), button, button, Qt::NoModifier);
}

std::unique_ptr<QEvent> Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return std::make_unique<QKeyEvent>(type, key, modifiers);
}

class SplashFilterTest : public SplashWndTest, public testing::WithParamInterface<FilteredEvent> {};

TEST_P(SplashFilterTest, PressesCloseAndAreDroppedOthersPassThrough)
{
    QWidget owner;
    CSplashWnd::ShowSplash(&owner);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    const auto event = GetParam().make();
    EXPECT_EQ(CSplashWnd::FilterAppMessage(event.get()), GetParam().bCloses);
    EXPECT_EQ(CSplashWnd::Current() == nullptr, GetParam().bCloses);
}

TEST_P(SplashFilterTest, NothingIsDroppedWithoutASplash)
{
    const auto event = GetParam().make();
    EXPECT_FALSE(CSplashWnd::FilterAppMessage(event.get()));
}

INSTANTIATE_TEST_SUITE_P(
    Events, SplashFilterTest,
    testing::Values(
        FilteredEvent{"KeyDown", [] { return Key(QEvent::KeyPress, Qt::Key_A); }, true},
        FilteredEvent{"SystemKeyDown", [] { return Key(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier); }, true},
        FilteredEvent{"LeftDown", [] { return Mouse(QEvent::MouseButtonPress, Qt::LeftButton); }, true},
        FilteredEvent{"RightDown", [] { return Mouse(QEvent::MouseButtonPress, Qt::RightButton); }, true},
        FilteredEvent{"MiddleDown", [] { return Mouse(QEvent::MouseButtonPress, Qt::MiddleButton); }, true},
        FilteredEvent{"FrameLeftDown", [] { return Mouse(QEvent::NonClientAreaMouseButtonPress, Qt::LeftButton); }, true},
        FilteredEvent{"FrameRightDown", [] { return Mouse(QEvent::NonClientAreaMouseButtonPress, Qt::RightButton); }, true},
        FilteredEvent{"FrameMiddleDown", [] { return Mouse(QEvent::NonClientAreaMouseButtonPress, Qt::MiddleButton); }, true},
        FilteredEvent{"KeyUp", [] { return Key(QEvent::KeyRelease, Qt::Key_A); }, false},
        FilteredEvent{"LeftUp", [] { return Mouse(QEvent::MouseButtonRelease, Qt::LeftButton); }, false},
        FilteredEvent{"DoubleClick", [] { return Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton); }, false},
        FilteredEvent{"SideButtonDown", [] { return Mouse(QEvent::MouseButtonPress, Qt::BackButton); }, false},
        FilteredEvent{"Move", [] { return Mouse(QEvent::MouseMove, Qt::NoButton); }, false},
        FilteredEvent{"Paint", [] { return std::make_unique<QEvent>(QEvent::UpdateRequest); }, false}),
    [](const testing::TestParamInfo<FilteredEvent>& info) { return std::string(info.param.name); });

class SplashInApplicationTest : public SplashWndTest {
protected:
    void SetUp() override
    {
        SplashWndTest::SetUp();
        qApp->installEventFilter(&m_filter);
        m_window.resize(300, 200);
        m_button = new QPushButton(QStringLiteral("Go"), &m_window);
        m_button->setGeometry(10, 10, 80, 30);
        Show(m_window);
        CSplashWnd::ShowSplash(&m_window);
        ASSERT_NE(CSplashWnd::Current(), nullptr);
    }
    void TearDown() override
    {
        qApp->removeEventFilter(&m_filter);
        SplashWndTest::TearDown();
    }
    SplashFilter m_filter;
    QMainWindow m_window;
    QPushButton* m_button = nullptr;
};

TEST_F(SplashInApplicationTest, TheClickThatClosesTheSplashClicksNothing)
{
    QSignalSpy clicks(m_button, &QPushButton::clicked);
    QTest::mouseClick(m_button, Qt::LeftButton);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(m_button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SplashWndTest, AKeyBoundToACommandIsClaimedSoItArrivesAsAKeyPress)
{
    QWidget owner;
    CSplashWnd::ShowSplash(&owner);
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_O, Qt::ControlModifier);
    override.ignore();
    EXPECT_TRUE(CSplashWnd::FilterAppMessage(&override));
    EXPECT_TRUE(override.isAccepted());
    EXPECT_NE(CSplashWnd::Current(), nullptr);  // the key press that follows closes it
    CSplashWnd::Current()->HideSplash();
    override.ignore();
    EXPECT_FALSE(CSplashWnd::FilterAppMessage(&override));
    EXPECT_FALSE(override.isAccepted());
}

TEST(CompiledInPictures, LoadWithTheirSizes)
{
    EXPECT_EQ(QImage(pictures::kAppIcon).size(), QSize(256, 256));
    EXPECT_FALSE(QImage(pictures::kDocumentIcon).isNull());
    EXPECT_EQ(QImage(pictures::kSplash).size(), QSize(474, 313));
    const QImage hand(pictures::kHand);
    EXPECT_EQ(hand.size(), QSize(32, 32));
    EXPECT_TRUE(hand.hasAlphaChannel());
    EXPECT_EQ(qAlpha(hand.pixel(31, 31)), 0);  // transparent around the hand
    EXPECT_EQ(pictures::HandCursor().hotSpot(), pictures::kHandHotSpot);
    for (const char* name : {"new", "open", "save", "play", "pause", "stop", "previous", "next", "delay", "about",
                             "leave-full-screen"}) {
        EXPECT_EQ(QImage(QStringLiteral(":/pictures/toolbar/%1.png").arg(QLatin1StringView(name))).size(),
                  QSize(16, 16))
            << name;
    }
}
}  // namespace
