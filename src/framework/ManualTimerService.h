// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers that tick only when told to: for tests of anything that plays.

#include <cstddef>
#include <map>

#include "framework/TimerService.h"

class CManualTimerService : public CTimerService {
public:
    UINT SetEvent(int nPeriod, TimerProc proc, void* pUser) override;
    void KillEvent(UINT nTimerID) override;

    // While set, every SetEvent fails.
    void SetFailCreation(bool bFail) { m_bFailCreation = bFail; }

    // One tick of timer `nTimerID`; false when there is no such timer.
    bool Tick(UINT nTimerID);
    // One tick of every timer alive now, oldest first; a timer cancelled meanwhile gets none.
    void TickAll();

    std::size_t GetActiveCount() const { return m_timers.size(); }
    // The period of a live timer, 0 when there is none.
    int GetPeriod(UINT nTimerID) const;
    // The id given by the last successful SetEvent, 0 before the first.
    UINT GetLastID() const { return m_nLastID; }

private:
    struct Timer {
        int nPeriod;
        TimerProc proc;
        void* pUser;
    };
    std::map<UINT, Timer> m_timers;
    UINT m_nLastID = 0;
    bool m_bFailCreation = false;
};
