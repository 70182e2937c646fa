// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One task at a time on a thread of its own, behind the caller: writing what was made while the
// next is made, so that two processors do the two. Post waits for the task before and starts the
// next; what a task shows is held and shown on the caller's thread once it has waited for it.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "io/Message.h"

class CWorkBehind {
public:
    // A task is done when it returns; false says it failed, after its message.
    using Task = std::function<bool()>;

    CWorkBehind();
    // Waits for the task in hand.
    ~CWorkBehind();
    CWorkBehind(const CWorkBehind&) = delete;
    CWorkBehind& operator=(const CWorkBehind&) = delete;

    // Waits for the task before and shows its messages; when a task failed returns false without
    // starting this one, otherwise starts it and returns true.
    bool Post(Task task);
    // Waits for the last task and shows its messages; false when a task failed.
    bool Finish();

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Task m_task;            // posted and not yet done
    bool m_bFailed = false;
    bool m_bQuit = false;
    CHeldMessages* m_pHeld = nullptr;  // the thread's, while it runs
    std::jthread m_thread;
};
