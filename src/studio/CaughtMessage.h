// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The libraries say what failed through the message routine; while an instance lives, what is said
// on its thread is kept for the studio to show with the file it concerns, so the window's thread
// and the worker's each hear their own. Messages said where nothing catches them go on to the hook
// that was installed before the first catch.

#include <string>

class CCaughtMessage {
public:
    CCaughtMessage();
    ~CCaughtMessage();
    CCaughtMessage(const CCaughtMessage&) = delete;
    CCaughtMessage& operator=(const CCaughtMessage&) = delete;

    // The last message said, empty when none was.
    const std::string& GetText() const { return m_text; }
    // "PATH: TEXT", or "PATH: " + fallback when nothing was said.
    std::string About(const std::string& path, const std::string& fallback) const;

private:
    friend void CatchOnThisThread(const std::string& text);
    std::string m_text;
    CCaughtMessage* m_outer;
};
