// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/Message.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {
MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}

thread_local CHeldMessages* t_pHeld = nullptr;

bool& DetailShown()
{
    static bool shown = false;
    return shown;
}
}  // namespace

void ShowMessage(std::string_view text)
{
    std::string message(text);
    if (t_pHeld) {
        t_pHeld->m_texts.push_back(std::move(message));
        return;
    }
    if (const MessageHook& hook = Hook())
        hook(message);
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

MessageHook SetMessageHook(MessageHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

void ShowMessage(std::string_view text, std::string_view detail)
{
    if (!DetailShown() || detail.empty())
        return ShowMessage(text);
    ShowMessage(std::string(text) + ": " + std::string(detail));
}

bool SetMessageDetailShown(bool shown)
{
    return std::exchange(DetailShown(), shown);
}

std::string SystemReason(int error)
{
    // strerror follows LC_MESSAGES, which a Qt program sets from the environment.
    if (const char* reason = ::strerrordesc_np(error))
        return reason;
    return "error " + std::to_string(error);
}

CHeldMessages::CHeldMessages() : m_pOuter(std::exchange(t_pHeld, this)) {}

CHeldMessages::~CHeldMessages()
{
    t_pHeld = m_pOuter;
}

void CHeldMessages::ShowHere()
{
    for (const std::string& text : std::exchange(m_texts, {}))
        ShowMessage(text);
}
