// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/WorkBehind.h"

#include <utility>

CWorkBehind::CWorkBehind() : m_thread([this] { Run(); }) {}

CWorkBehind::~CWorkBehind()
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_task; });
        m_bQuit = true;
    }
    m_changed.notify_all();
}

void CWorkBehind::Run()
{
    CHeldMessages held;
    std::unique_lock lock(m_mutex);
    m_pHeld = &held;
    m_changed.notify_all();
    for (;;) {
        m_changed.wait(lock, [this] { return m_task || m_bQuit; });
        if (!m_task)
            return;
        lock.unlock();
        const bool done = m_task();
        lock.lock();
        m_bFailed = m_bFailed || !done;
        m_task = nullptr;
        m_changed.notify_all();
    }
}

bool CWorkBehind::Finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_task && m_pHeld; });
    const bool failed = m_bFailed;
    lock.unlock();
    // No task runs now to add to them.
    m_pHeld->ShowHere();
    return !failed;
}

bool CWorkBehind::Post(Task task)
{
    if (!Finish())
        return false;
    {
        std::lock_guard lock(m_mutex);
        m_task = std::move(task);
    }
    m_changed.notify_all();
    return true;
}
