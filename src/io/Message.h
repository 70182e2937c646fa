// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one routine that shows the program's messages. The stream model calls it without knowing who
// listens: the windows install the message box, the command-line tool prints to stderr, and tests
// record the texts.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

using MessageHook = std::function<void(const std::string& text)>;

// Shows a fixed message; blocks until the user has seen it when the hook is the message box.
void ShowMessage(std::string_view text);

// Shows a fixed message and what the caller knows beyond it (the file, the sizes, the system's
// reason). The windows show the fixed text alone, as they always have; where the detail is turned
// on (the command line) the hook gets "text: detail".
void ShowMessage(std::string_view text, std::string_view detail);
// Turns the detail on or off; returns the previous setting. Off until a program turns it on.
bool SetMessageDetailShown(bool shown);

// The system's reason for `error` (an errno value), in English whatever the locale.
std::string SystemReason(int error);

// Installs a new hook and returns the previous one. An empty hook writes the text to stderr.
MessageHook SetMessageHook(MessageHook hook);

// While one lives, the messages shown on its thread are kept in it rather than shown: work done on
// a thread of its own hands them to the thread that waits for it, since a hook may count on the
// thread it is called on.
class CHeldMessages {
public:
    CHeldMessages();
    ~CHeldMessages();
    CHeldMessages(const CHeldMessages&) = delete;
    CHeldMessages& operator=(const CHeldMessages&) = delete;

    // Shows the kept messages, in order, on the calling thread, and forgets them.
    void ShowHere();

private:
    friend void ShowMessage(std::string_view text);
    std::vector<std::string> m_texts;
    CHeldMessages* m_pOuter;
};
