// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The timers of the running program: one precise QTimer per timer id.

#include <map>
#include <memory>

#include "framework/TimerService.h"

class QTimer;

class CQtTimerService : public CTimerService {
public:
    // Periods the service accepts; others fail to create a timer.
    static constexpr int kMinPeriod = 1;
    static constexpr int kMaxPeriod = 1'000'000;

    CQtTimerService();
    ~CQtTimerService() override;
    CQtTimerService(const CQtTimerService&) = delete;
    CQtTimerService& operator=(const CQtTimerService&) = delete;

    // Fails (0) outside kMinPeriod..kMaxPeriod, without a Qt application, or off its thread.
    UINT SetEvent(int nPeriod, TimerProc proc, void* pUser) override;
    void KillEvent(UINT nTimerID) override;

private:
    std::map<UINT, std::unique_ptr<QTimer>> m_timers;
    UINT m_nLastID = 0;
    UINT m_nTicking = 0;  // the timer whose tick is running, 0 when none
};
