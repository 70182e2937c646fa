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

bool CFrameSampler::SampleBefore(std::int64_t k, std::int64_t time) const
{
    return av_compare_ts(k, av_inv_q(*m_rate), time - m_start, m_timeBase) < 0;
}

std::uint64_t CFrameSampler::Take(std::int64_t shown, std::int64_t next)
{
    if (!m_rate)
        return next > m_start && !IsPast(shown) ? 1 : 0;
    std::uint64_t count = 0;
    while (SampleBefore(m_nextSample, next) && (!m_end || SampleBefore(m_nextSample, *m_end))) {
        ++m_nextSample;
        ++count;
    }
    return count;
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
