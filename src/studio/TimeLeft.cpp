// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/TimeLeft.h"

void CTimeLeft::Add(std::int64_t ms, std::uint64_t done)
{
    m_samples.push_back({ms, done});
    // The oldest sample kept is the last one at least a window old, so the pace spans the window.
    while (m_samples.size() > 2 && ms - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
}

std::optional<double> CTimeLeft::SecondsLeft(std::uint64_t total) const
{
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    if (last.done <= first.done || last.ms <= first.ms)
        return std::nullopt;
    if (last.done >= total)
        return 0.0;
    const double perSecond = 1000.0 * static_cast<double>(last.done - first.done) / static_cast<double>(last.ms - first.ms);
    return static_cast<double>(total - last.done) / perSecond;
}
