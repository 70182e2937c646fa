// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one routine that shows the program's messages. The stream model calls it without knowing who
// listens: the windows install the message box, the command-line tool prints to stderr, and tests
// record the texts.

#include <functional>
#include <string>
#include <string_view>

using MessageHook = std::function<void(const std::string& text)>;

// Shows a fixed message; blocks until the user has seen it when the hook is the message box.
void ShowMessage(std::string_view text);

// Installs a new hook and returns the previous one. An empty hook writes the text to stderr.
MessageHook SetMessageHook(MessageHook hook);
