// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages found where none can be shown at once, such as a frame that can't be read while a
// picture is being painted: the windows queue them behind the work in progress; everywhere else
// they go to the message routine straight away.

#include <string_view>

#include "io/Message.h"

void ShowMessageLater(std::string_view text);

// Installs a new hook and returns the previous one. An empty hook shows the text at once.
MessageHook SetLaterMessageHook(MessageHook hook);
