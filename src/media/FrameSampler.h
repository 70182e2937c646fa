// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which decoded video frames become stream frames, by presentation time (ticks of the video's time
// base): every frame on screen between start and end, or, with a rate, one frame for each instant
// start + k / rate before the end. Like ffmpeg's fps filter, instant k takes the latest frame whose
// time rounds to k or earlier, so a frame a little late for an instant still counts for it. Times
// are compared as exact fractions, so a 30 fps video sampled at 30 fps keeps every frame once
// however its time base rounds.

extern "C" {
#include <libavutil/rational.h>
}

#include <cstdint>
#include <optional>

class CFrameSampler {
public:
    CFrameSampler(AVRational timeBase, std::int64_t start, std::optional<std::int64_t> end,
                  std::optional<AVRational> rate);

    // A frame shown from `shown` until the next frame's time `next`: how many stream frames it
    // gives. Called in presentation order.
    std::uint64_t Take(std::int64_t shown, std::int64_t next);
    // The same for the video's last frame, shown until `videoEnd`: every instant before it.
    std::uint64_t TakeLast(std::int64_t shown, std::int64_t videoEnd);

    // Whether frames shown from `time` on give nothing more.
    bool IsPast(std::int64_t time) const { return m_end && time >= *m_end; }

    // How many stream frames a video of frames `frameRate` a second gives when it ends at `videoEnd`.
    std::uint64_t CountUntil(std::int64_t videoEnd, AVRational frameRate) const;

private:
    // Whether instant k comes before `time`; with `rounded`, whether a frame shown from `time`
    // rounds to an instant after k.
    bool InstantBefore(std::int64_t k, std::int64_t time, bool rounded) const;
    std::uint64_t TakeUntil(std::int64_t shown, std::int64_t next, bool last);

    AVRational m_timeBase;
    std::int64_t m_start;
    std::optional<std::int64_t> m_end;
    std::optional<AVRational> m_rate;
    std::int64_t m_nextSample = 0;
};
