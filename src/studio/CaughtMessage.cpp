// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/CaughtMessage.h"

#include <cstdio>
#include <mutex>

#include "io/Message.h"

namespace {
thread_local CCaughtMessage* t_catcher = nullptr;
MessageHook g_uncaught;
}  // namespace

void CatchOnThisThread(const std::string& text)
{
    if (t_catcher)
        t_catcher->m_text = text;
    else if (g_uncaught)
        g_uncaught(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());  // as the routine does without a hook
}

CCaughtMessage::CCaughtMessage()
    : m_outer(t_catcher)
{
    static std::once_flag routed;
    std::call_once(routed, [] { g_uncaught = SetMessageHook(CatchOnThisThread); });
    t_catcher = this;
}

CCaughtMessage::~CCaughtMessage()
{
    t_catcher = m_outer;
}

std::string CCaughtMessage::About(const std::string& path, const std::string& fallback) const
{
    return path + ": " + (m_text.empty() ? fallback : m_text);
}
