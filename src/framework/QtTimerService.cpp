// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/QtTimerService.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

CQtTimerService::CQtTimerService() = default;

CQtTimerService::~CQtTimerService() = default;

UINT CQtTimerService::SetEvent(int nPeriod, TimerProc proc, void* pUser)
{
    if (nPeriod < kMinPeriod || nPeriod > kMaxPeriod || !proc)
        return 0;
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return 0;

    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(nPeriod);
    UINT id = ++m_nLastID;
    if (id == 0)  // 0 means failure; skip it when the ids wrap
        id = ++m_nLastID;
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this, id, proc, pUser] {
        m_nTicking = id;
        proc(*this, id, pUser);
        m_nTicking = 0;
    });
    timer->start();
    if (!timer->isActive())
        return 0;
    m_timers.emplace(id, std::move(timer));
    return id;
}

void CQtTimerService::KillEvent(UINT nTimerID)
{
    const auto it = m_timers.find(nTimerID);
    if (it == m_timers.end())
        return;
    std::unique_ptr<QTimer> timer = std::move(it->second);
    m_timers.erase(it);
    timer->stop();
    // A timer can't be deleted inside its own timeout signal; stopped, it ticks no more.
    if (nTimerID == m_nTicking) {
        timer->disconnect();
        timer.release()->deleteLater();
    }
}
