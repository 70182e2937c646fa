// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kvt export's and kvt print's reading of a stream: the range of frames asked for, handed to a
// media sink with a progress line.

#include <string>

#include "cli/FrameRange.h"
#include "stream/StreamFileReader.h"

class CFrameSink;
struct CommonOptions;

// The stream opened and the frames to take from it.
struct StreamRange {
    CStreamFileReader reader;
    FrameRange range;
};

// Opens `path` and parses `frames` (A..B) against its frame count; the exit status, 1 or 2 after
// the message when either is refused. Frames without pixels (0 wide or high) are refused.
int OpenStreamRange(const char* command, const std::string& path, const std::string& frames, StreamRange& input);

// Reads the stream up to the range's last frame and hands each frame of the range, scaled, to the
// sink; the sink's output is in place only when every frame went in. The exit status.
int WriteFrames(const char* command, StreamRange& input, int scale, CFrameSink& sink, const CommonOptions& common);
