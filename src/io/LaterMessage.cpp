// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/LaterMessage.h"

#include <string>
#include <utility>

namespace {
MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}
}  // namespace

void ShowMessageLater(std::string_view text)
{
    if (const MessageHook& hook = Hook())
        hook(std::string(text));
    else
        ShowMessage(text);
}

MessageHook SetLaterMessageHook(MessageHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}
