// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records every message the program shows while it lives, so tests can assert the exact texts.

#include <string>
#include <vector>

#include "io/Message.h"

class MessageRecorder {
public:
    MessageRecorder()
        : m_previous(SetMessageHook([this](const std::string& text) { m_messages.push_back(text); }))
    {
    }
    ~MessageRecorder() { SetMessageHook(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::string>& Messages() const { return m_messages; }
    void Reset() { m_messages.clear(); }

private:
    std::vector<std::string> m_messages;
    MessageHook m_previous;
};
