// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long work in the background has left, from the pace of its last few seconds rather than of
// its whole run: making shares from a video first imports it (at the decoder's pace), then splits
// it (at the scheme's and the disk's), and the second step's time left is its own pace's.

#include <cstdint>
#include <deque>
#include <optional>

class CTimeLeft {
public:
    static constexpr std::int64_t kWindowMs = 3000;

    // `done` units of work finished `ms` milliseconds after the start (0 done at 0 ms).
    void Add(std::int64_t ms, std::uint64_t done);
    // Seconds until `total` is done at the recent pace; nothing before any unit is done.
    std::optional<double> SecondsLeft(std::uint64_t total) const;

private:
    struct Sample {
        std::int64_t ms;
        std::uint64_t done;
    };
    std::deque<Sample> m_samples{{0, 0}};
};
