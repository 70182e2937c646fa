// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/Message.h"

#include <cstdio>
#include <utility>

namespace {
MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}
}  // namespace

void ShowMessage(std::string_view text)
{
    const std::string message(text);
    if (const MessageHook& hook = Hook())
        hook(message);
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

MessageHook SetMessageHook(MessageHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}
