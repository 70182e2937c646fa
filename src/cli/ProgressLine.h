// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One updating line on stderr for long commands: what the command does, frame i of n, MB/s and
// the time left. Shown only while stderr is a terminal, not before the work has run about half a
// second and not with --quiet, so that scripts and logs stay clean. Redrawn at most ten times a
// second; cleared when the work ends, and before any message the program shows meanwhile.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "io/Message.h"

class CProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // totalFrames 0: the number of frames is not known, and no time left is shown.
    CProgressLine(std::string action, std::uint64_t totalFrames, bool quiet);
    // Draws on `out` as if it were a terminal, reading the time from `now` (for tests).
    CProgressLine(std::string action, std::uint64_t totalFrames, std::ostream& out,
                  std::function<Clock::time_point()> now);
    ~CProgressLine();
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    // One frame done, `bytes` of output written for it (for MB/s).
    void Advance(std::uint64_t bytes);
    // Clears the line; nothing more is drawn.
    void Finish();

private:
    void Draw(Clock::time_point now);
    void Erase();

    std::string m_action;
    std::uint64_t m_nTotalFrames;
    std::ostream* m_pOut;  // null: nothing is ever drawn
    std::function<Clock::time_point()> m_now;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
    std::uint64_t m_nFramesDone = 0;
    std::uint64_t m_nBytesDone = 0;
    bool m_bShown = false;          // the line stands on the screen
    bool m_bHookInstalled = false;  // messages erase the line first, from the first draw to Finish
    MessageHook m_previousHook;
};
