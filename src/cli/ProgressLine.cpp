// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgressLine.h"

#include <iomanip>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr const char* kClearLine = "\r\033[K";

std::string MinutesAndSeconds(double seconds)
{
    const auto whole = static_cast<std::uint64_t>(seconds + 0.5);
    std::ostringstream text;
    text << whole / 60 << ':' << std::setw(2) << std::setfill('0') << whole % 60;
    return text.str();
}
}  // namespace

CProgressLine::CProgressLine(std::string action, std::uint64_t totalFrames, bool quiet)
    : CProgressLine(std::move(action), totalFrames, std::cerr, &Clock::now)
{
    if (quiet || ::isatty(STDERR_FILENO) == 0)
        m_pOut = nullptr;
}

CProgressLine::CProgressLine(std::string action, std::uint64_t totalFrames, std::ostream& out,
                             std::function<Clock::time_point()> now)
    : m_action(std::move(action)), m_nTotalFrames(totalFrames), m_pOut(&out), m_now(std::move(now)),
      m_start(m_now())
{
}

CProgressLine::~CProgressLine()
{
    Finish();
}

void CProgressLine::Advance(std::uint64_t bytes)
{
    ++m_nFramesDone;
    m_nBytesDone += bytes;
    if (m_pOut == nullptr)
        return;
    const Clock::time_point now = m_now();
    if (now - m_start < kQuietStart || (m_bHookInstalled && now - m_lastDraw < kRedrawInterval))
        return;
    Draw(now);
}

void CProgressLine::Finish()
{
    if (m_bHookInstalled)
        SetMessageHook(std::move(m_previousHook));
    m_bHookInstalled = false;
    Erase();
    m_pOut = nullptr;
}

void CProgressLine::Draw(Clock::time_point now)
{
    if (!m_bHookInstalled) {
        // A message shown while the line stands would be glued to its end: erase the line first.
        m_previousHook = SetMessageHook([this](const std::string& text) {
            Erase();
            if (m_previousHook)
                m_previousHook(text);
            else
                std::cerr << text << '\n';
        });
        m_bHookInstalled = true;
    }
    m_bShown = true;
    m_lastDraw = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    std::ostringstream line;
    line << kClearLine << m_action << ": frame " << m_nFramesDone;
    if (m_nTotalFrames != 0)
        line << " of " << m_nTotalFrames;
    line << ", " << std::fixed << std::setprecision(1) << m_nBytesDone / seconds / 1e6 << " MB/s";
    if (m_nTotalFrames > m_nFramesDone)
        line << ", " << MinutesAndSeconds(seconds / m_nFramesDone * (m_nTotalFrames - m_nFramesDone)) << " left";
    *m_pOut << line.str() << std::flush;
}

void CProgressLine::Erase()
{
    if (!m_bShown)
        return;
    m_bShown = false;
    *m_pOut << kClearLine << std::flush;
}
