// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Periodic timers with millisecond periods, behind an interface so that tests can tick by hand.
// A timer calls its procedure once per period on the thread that created it (the window's thread),
// with the service, the timer's id and the user value given at creation.

#include <cstdint>

using UINT = std::uint32_t;

class CTimerService {
public:
    using TimerProc = void (*)(CTimerService& timers, UINT nTimerID, void* pUser);

    virtual ~CTimerService() = default;

    // Creates a periodic timer of nPeriod milliseconds. Returns its id, never 0, or 0 when the
    // timer couldn't be created.
    virtual UINT SetEvent(int nPeriod, TimerProc proc, void* pUser) = 0;
    // Cancels a timer: once this returns no tick of it runs, even when it is called from that
    // timer's own tick. Id 0 and ids already cancelled do nothing.
    virtual void KillEvent(UINT nTimerID) = 0;
};
