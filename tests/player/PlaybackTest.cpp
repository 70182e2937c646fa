// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "PlayerTestHost.h"

namespace {

constexpr int A = 10, B = 11, C = 12;  // the grey of each frame of the tagged stream

struct Playback : testing::Test {
    Playback() { g_bFramePainted = 1; }
    PlayerTestHost host{MakeDoc(MakeTaggedStream(4, 3, 3, A))};
    CKVTPlayerView& view = host.View();
    MessageRecorder messages;
};

TEST_F(Playback, WorkedExampleWrapsBothWays)
{
    EXPECT_EQ(host.ShownFrame(), A);
    view.OnPlay();
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i) {
        host.Tick();
        shown.push_back(host.ShownFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{B, C, A, B, C}));

    view.OnStop();
    EXPECT_EQ(host.ShownFrame(), A);
    view.OnPrevious();
    EXPECT_EQ(host.ShownFrame(), C);
    view.OnPrevious();
    EXPECT_EQ(host.ShownFrame(), B);
    view.OnNext();
    view.OnNext();
    EXPECT_EQ(host.ShownFrame(), A);  // Next from C
    view.OnPrevious();
    view.OnPrevious();
    view.OnNext();
    EXPECT_EQ(host.ShownFrame(), C);
}

TEST_F(Playback, PauseKeepsTheFrameAndStopRewinds)
{
    view.OnPlay();
    host.Tick();
    EXPECT_EQ(host.ShownFrame(), B);
    view.OnPause();
    EXPECT_FALSE(view.IsPlaying());
    EXPECT_EQ(host.Timers().GetActiveCount(), 0u);
    EXPECT_EQ(host.ShownFrame(), B);
    view.OnPlay();
    host.Tick();
    EXPECT_EQ(host.ShownFrame(), C);  // resumes after the frame on screen

    view.OnStop();
    EXPECT_EQ(host.Timers().GetActiveCount(), 0u);
    EXPECT_EQ(host.ShownFrame(), A);
    view.OnPlay();
    host.Tick();
    EXPECT_EQ(host.ShownFrame(), B);
}

TEST_F(Playback, PlayTwiceMakesOneTimer)
{
    view.OnPlay();
    view.OnPlay();
    EXPECT_EQ(host.Timers().GetActiveCount(), 1u);
    EXPECT_EQ(host.Timers().GetPeriod(host.Timers().GetLastID()), 100);
}

TEST_F(Playback, GateDropsTicksUntilAPaint)
{
    EXPECT_EQ(host.ShownFrame(), A);
    view.OnPlay();
    host.Tick();
    EXPECT_EQ(g_bFramePainted, 0);
    host.Tick();  // no paint since the last step: dropped
    host.Tick();
    EXPECT_EQ(host.ShownFrame(), B);
    EXPECT_EQ(g_bFramePainted, 1);
    host.Tick();
    EXPECT_EQ(host.ShownFrame(), C);
}

TEST_F(Playback, TwoViewsShareTheGate)
{
    PlayerTestHost other(MakeDoc(MakeTaggedStream(4, 3, 3, 100)));
    EXPECT_EQ(host.ShownFrame(), A);
    EXPECT_EQ(other.ShownFrame(), 100);
    view.OnPlay();
    other.View().OnPlay();
    host.Tick();
    other.Tick();  // the first view's step has not been painted yet
    EXPECT_EQ(other.ShownFrame(), 100);
    other.Tick();  // the paint of either view opens the gate for both
    EXPECT_EQ(other.ShownFrame(), 101);
    EXPECT_EQ(host.ShownFrame(), B);
}

TEST_F(Playback, OneFrameStreamShowsThatFrameEveryStep)
{
    PlayerTestHost single(MakeDoc(MakeTaggedStream(3, 3, 1, 50)));
    single.View().OnNext();
    EXPECT_EQ(single.ShownFrame(), 50);
    single.View().OnPrevious();
    EXPECT_EQ(single.ShownFrame(), 50);
    single.View().OnPlay();
    single.Tick();
    EXPECT_EQ(single.ShownFrame(), 50);
}

TEST_F(Playback, CommandStatesFollowTheState)
{
    const auto states = [this] {
        return std::vector<bool>{host.Enabled(cmd::ID_PLAY), host.Enabled(cmd::ID_STOP), host.Enabled(cmd::ID_PAUSE),
                                 host.Enabled(cmd::ID_NEXT), host.Enabled(cmd::ID_PREVIOUS)};
    };
    EXPECT_EQ(states(), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_TRUE(host.Router().Execute(cmd::ID_PLAY));
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true, false, false}));
    EXPECT_FALSE(host.Router().Execute(cmd::ID_NEXT));  // refused while playing
    EXPECT_TRUE(host.Router().Execute(cmd::ID_PAUSE));
    EXPECT_EQ(states(), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_FALSE(host.Router().Execute(cmd::ID_PAUSE));

    PlayerTestHost empty(std::make_unique<CKVTPlayerDoc>());
    for (const int id : {cmd::ID_PLAY, cmd::ID_STOP, cmd::ID_PAUSE, cmd::ID_NEXT, cmd::ID_PREVIOUS})
        EXPECT_FALSE(empty.Enabled(id)) << id;
    EXPECT_TRUE(empty.Enabled(cmd::ID_DELAY_SETTING));
    g_bFramePainted = 0;
    empty.Paint();
    EXPECT_EQ(g_bFramePainted, 0);  // a view without a stream paints nothing
}

TEST_F(Playback, NoTimerLeavesTheViewIdle)
{
    host.Timers().SetFailCreation(true);
    view.OnPlay();
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"No Timer"});
    EXPECT_FALSE(view.IsPlaying());
    EXPECT_FALSE(view.IsTimerActive());
}

TEST_F(Playback, DelayChangeRestartsARunningTimerOnly)
{
    QTest::keyClick(view.GetSlider(), Qt::Key_PageUp);  // idle: the value is only stored
    EXPECT_EQ(view.GetDelay(), 90);
    EXPECT_EQ(host.Timers().GetActiveCount(), 0u);
    view.OnPlay();
    EXPECT_EQ(host.Timers().GetPeriod(host.Timers().GetLastID()), 90);
    view.OnDelayDown();
    EXPECT_EQ(host.Timers().GetActiveCount(), 1u);
    EXPECT_EQ(host.Timers().GetPeriod(host.Timers().GetLastID()), 89);

    host.Timers().SetFailCreation(true);
    view.OnDelayUp();
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"No Timer"});
    EXPECT_TRUE(view.IsPlaying());  // playing without a timer
    EXPECT_FALSE(view.IsTimerActive());
    EXPECT_EQ(host.Timers().GetActiveCount(), 0u);
    view.OnDelayUp();  // nothing to restart
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(host.Enabled(cmd::ID_PAUSE));
    view.OnPause();
    EXPECT_FALSE(view.IsPlaying());
}

TEST_F(Playback, TickWithoutAViewCancelsItsTimer)
{
    const UINT id = host.Timers().SetEvent(5, &CKVTPlayerView::PlayTimerProc, nullptr);
    host.Timers().Tick(id);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Timer Error"});
    EXPECT_EQ(host.Timers().GetPeriod(id), 0);
}

// A manual service that reports the cancels it receives after the view has gone.
class WatchedTimers : public CManualTimerService {
public:
    explicit WatchedTimers(std::vector<UINT>& killed) : m_killed(killed) {}
    void KillEvent(UINT id) override
    {
        m_killed.push_back(id);
        CManualTimerService::KillEvent(id);
    }

private:
    std::vector<UINT>& m_killed;
};

TEST(PlaybackLifetime, DestructionCancelsTheTimerFirst)
{
    auto doc = MakeDoc(MakeTaggedStream(4, 3, 3, A));
    CCommandRouter router;
    std::vector<UINT> killed;
    auto timers = std::make_unique<WatchedTimers>(killed);
    auto view = std::make_unique<CKVTPlayerView>(doc.get(), &router, nullptr, std::move(timers));
    view->OnInitialUpdate();
    view->OnPlay();
    ASSERT_TRUE(view->IsTimerActive());
    view.reset();
    ASSERT_FALSE(killed.empty());
    EXPECT_EQ(killed.front(), 1u);
}

TEST(PlaybackPair, BothStreamsStepAndWrapOnTheirOwn)
{
    g_bFramePainted = 1;
    PlayerTestHost pair(MakeDoc(MakeTaggedStream(4, 3, 2, 20), MakeTaggedStream(4, 3, 3, 40)));
    CKVTPlayerView& view = pair.View();
    const auto shown = [&] {
        const QImage image = pair.Paint();
        return std::pair<int, int>{qRed(image.pixel(view.GetImage1Pos())), qRed(image.pixel(view.GetImage2Pos()))};
    };
    EXPECT_EQ(shown(), (std::pair<int, int>{20, 40}));
    view.OnNext();
    EXPECT_EQ(shown(), (std::pair<int, int>{21, 41}));
    view.OnNext();
    EXPECT_EQ(shown(), (std::pair<int, int>{20, 42}));
    view.OnNext();
    EXPECT_EQ(shown(), (std::pair<int, int>{21, 40}));
    view.OnStop();
    EXPECT_EQ(shown(), (std::pair<int, int>{20, 40}));
    view.OnPrevious();
    EXPECT_EQ(shown(), (std::pair<int, int>{21, 42}));
}

}  // namespace
