// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// --frames A..B: the frames a command takes from a stream, by their index (the first frame is 0).

#include <optional>
#include <string>

struct FrameRange {
    int first = 0;
    int last = 0;  // included
    int Count() const { return last - first + 1; }
};

// "A..B", "A.." (to the end), "..B" (from the start), "N" (one frame) or "" (every frame) of a
// stream of `frameCount` frames; nothing, with the reason in `error`, when it names none of them.
std::optional<FrameRange> ParseFrameRange(const std::string& text, int frameCount, std::string& error);
