// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/ManualTimerService.h"

#include <vector>

UINT CManualTimerService::SetEvent(int nPeriod, TimerProc proc, void* pUser)
{
    if (m_bFailCreation || !proc)
        return 0;
    m_timers[++m_nLastID] = {nPeriod, proc, pUser};
    return m_nLastID;
}

void CManualTimerService::KillEvent(UINT nTimerID)
{
    m_timers.erase(nTimerID);
}

bool CManualTimerService::Tick(UINT nTimerID)
{
    const auto it = m_timers.find(nTimerID);
    if (it == m_timers.end())
        return false;
    const Timer timer = it->second;  // the procedure may cancel its own timer
    timer.proc(*this, nTimerID, timer.pUser);
    return true;
}

void CManualTimerService::TickAll()
{
    std::vector<UINT> ids;
    for (const auto& entry : m_timers)
        ids.push_back(entry.first);
    for (UINT id : ids)
        Tick(id);
}

int CManualTimerService::GetPeriod(UINT nTimerID) const
{
    const auto it = m_timers.find(nTimerID);
    return it == m_timers.end() ? 0 : it->second.nPeriod;
}
