// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long work in the background has left, from the pace of its last few seconds rather than of
// its whole run. Work done in steps of their own pace (making shares from a video first imports
// it at the decoder's pace, then splits it at the scheme's and the disk's) has its time left from
// the last step's pace, and none while a step whose pace isn't known yet is still to come.

#include <cstdint>
#include <deque>
#include <optional>

// Units of work (frames) done and in all, over every step.
struct JobCounts {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    std::uint64_t stepStart = 0;  // done when the step under way began
    bool stepsToCome = false;     // a step of another pace follows this one
};

class CTimeLeft {
public:
    static constexpr std::int64_t kWindowMs = 3000;

    // `counts` as they stood `ms` milliseconds after the start (nothing done at 0 ms).
    void Add(std::int64_t ms, const JobCounts& counts);
    // Seconds until all is done at the recent pace of the last step; nothing before that step has
    // shown a pace.
    std::optional<double> SecondsLeft() const;

private:
    struct Sample {
        std::int64_t ms;
        std::uint64_t done;
    };
    std::deque<Sample> m_samples{{0, 0}};
    JobCounts m_counts;
};
