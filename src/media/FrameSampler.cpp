// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameSampler.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>

CFrameSampler::CFrameSampler(AVRational timeBase, std::int64_t start, std::optional<std::int64_t> end,
                             std::optional<AVRational> rate)
    : m_timeBase(timeBase), m_start(start), m_end(end), m_rate(rate)
{
}

bool CFrameSampler::InstantBefore(std::int64_t k, std::int64_t time, bool rounded) const
{
    if (!rounded)
        return av_compare_ts(k, av_inv_q(*m_rate), time - m_start, m_timeBase) < 0;
    // A time rounds past instant k when it is at least half an interval after it (halves round up).
    const AVRational halfInterval = {m_rate->den, 2 * m_rate->num};
    return av_compare_ts(2 * k + 1, halfInterval, time - m_start, m_timeBase) <= 0;
}

std::uint64_t CFrameSampler::TakeUntil(std::int64_t shown, std::int64_t next, bool last)
{
    if (!m_rate)
        return next > m_start && !IsPast(shown) ? 1 : 0;
    std::uint64_t count = 0;
    while (InstantBefore(m_nextSample, next, !last) && (!m_end || InstantBefore(m_nextSample, *m_end, false))) {
        ++m_nextSample;
        ++count;
    }
    return count;
}

std::uint64_t CFrameSampler::Take(std::int64_t shown, std::int64_t next) { return TakeUntil(shown, next, false); }

std::uint64_t CFrameSampler::TakeLast(std::int64_t shown, std::int64_t videoEnd)
{
    return TakeUntil(shown, videoEnd, true);
}

std::uint64_t CFrameSampler::CountUntil(std::int64_t videoEnd, AVRational frameRate) const
{
    const std::int64_t end = m_end ? std::min(*m_end, videoEnd) : videoEnd;
    if (end <= m_start)
        return 0;
    const AVRational rate = m_rate ? *m_rate : frameRate;
    if (rate.num <= 0 || rate.den <= 0)
        return 0;
    // Sampling instants k / rate before the end: k < span * rate.
    return static_cast<std::uint64_t>(
        av_rescale_q_rnd(end - m_start, m_timeBase, av_inv_q(rate), AV_ROUND_UP));
}
