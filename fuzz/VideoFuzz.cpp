// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a video kvt import decodes with FFmpeg, named with one of the common endings.

#include "ImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array<const char*, 8> kEndings{"mkv", "mp4", "avi", "webm", "mov", "mpg", "ts", "flv"};
    return import_fuzz::Run(data, size, kEndings);
}
