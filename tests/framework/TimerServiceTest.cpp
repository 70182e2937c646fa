// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <gtest/gtest.h>

#include "framework/ManualTimerService.h"
#include "framework/QtTimerService.h"

namespace {

struct TickLog {
    int nTicks = 0;
    bool bKillInTick = false;
};

void CountTick(CTimerService& timers, UINT id, void* pUser);

// Lets a 1 ms timer of its own tick a few times: a cancelled timer had as many chances to tick.
void LetTimersRun(CTimerService& timers)
{
    TickLog sentinel;
    const UINT id = timers.SetEvent(1, &CountTick, &sentinel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentinel.nTicks >= 5; }));
    timers.KillEvent(id);
}

void CountTick(CTimerService& timers, UINT id, void* pUser)
{
    auto* log = static_cast<TickLog*>(pUser);
    ++log->nTicks;
    if (log->bKillInTick)
        timers.KillEvent(id);
}

TEST(QtTimerService, TicksUntilCancelled)
{
    CQtTimerService timers;
    TickLog log;
    const UINT id = timers.SetEvent(1, &CountTick, &log);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.nTicks >= 3; }));
    timers.KillEvent(id);
    const int nAtCancel = log.nTicks;
    LetTimersRun(timers);
    EXPECT_EQ(log.nTicks, nAtCancel);
    timers.KillEvent(id);  // twice, and id 0: harmless
    timers.KillEvent(0);
}

TEST(QtTimerService, CancelFromItsOwnTick)
{
    CQtTimerService timers;
    TickLog log{0, true};
    ASSERT_NE(timers.SetEvent(1, &CountTick, &log), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.nTicks == 1; }));
    LetTimersRun(timers);
    EXPECT_EQ(log.nTicks, 1);
}

TEST(QtTimerService, RefusesPeriodsOutOfRange)
{
    CQtTimerService timers;
    TickLog log;
    EXPECT_EQ(timers.SetEvent(0, &CountTick, &log), 0u);
    EXPECT_EQ(timers.SetEvent(CQtTimerService::kMaxPeriod + 1, &CountTick, &log), 0u);
    const UINT a = timers.SetEvent(3000, &CountTick, &log);
    const UINT b = timers.SetEvent(3000, &CountTick, &log);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
}

TEST(ManualTimerService, TicksOnlyLiveTimersAndCanFail)
{
    CManualTimerService timers;
    TickLog first, second{0, true};
    const UINT a = timers.SetEvent(100, &CountTick, &first);
    const UINT b = timers.SetEvent(7, &CountTick, &second);
    EXPECT_EQ(timers.GetPeriod(b), 7);
    timers.TickAll();
    timers.TickAll();
    EXPECT_EQ(first.nTicks, 2);
    EXPECT_EQ(second.nTicks, 1);  // it cancelled itself
    EXPECT_FALSE(timers.Tick(b));
    timers.KillEvent(a);
    EXPECT_EQ(timers.GetActiveCount(), 0u);
    timers.SetFailCreation(true);
    EXPECT_EQ(timers.SetEvent(100, &CountTick, &first), 0u);
}

}  // namespace
