// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/TimeLeft.h"

void CTimeLeft::Add(std::int64_t ms, const JobCounts& counts)
{
    // A new step: its pace is measured from here on.
    if (counts.stepStart != m_counts.stepStart)
        m_samples.clear();
    m_counts = counts;
    m_samples.push_back({ms, counts.done});
    // The oldest sample kept is the last one at least a window old, so the pace spans the window.
    while (m_samples.size() > 2 && ms - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
}

std::optional<double> CTimeLeft::SecondsLeft() const
{
    if (m_counts.stepsToCome)
        return std::nullopt;
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    if (last.done <= first.done || last.ms <= first.ms)
        return std::nullopt;
    if (last.done >= m_counts.total)
        return 0.0;
    const double perSecond = 1000.0 * static_cast<double>(last.done - first.done) / static_cast<double>(last.ms - first.ms);
    return static_cast<double>(m_counts.total - last.done) / perSecond;
}
