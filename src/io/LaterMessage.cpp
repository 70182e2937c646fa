// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/LaterMessage.h"

#include <string>
#include <utility>

namespace {
// Set by the windows once, before any stream is read.
MessageHook g_laterHook;
}  // namespace

void ShowMessageLater(std::string_view text)
{
    if (!g_laterHook)
        return ShowMessage(text);
    g_laterHook(std::string(text));
}

MessageHook SetLaterMessageHook(MessageHook hook)
{
    return std::exchange(g_laterHook, std::move(hook));
}
