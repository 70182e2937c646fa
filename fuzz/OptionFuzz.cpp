// SPDX-License-Identifier: GPL-3.0-or-later
// The option texts kvt reads itself: frame ranges, lengths with their unit and numbered names.

#include <cmath>
#include <string>

#include "FuzzInput.h"
#include "cli/FrameRange.h"
#include "cli/NumberOptions.h"
#include "media/NumberedName.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    const int frameCount = input.Between(0, 255) * 257;
    std::string error;
    if (const auto range = ParseFrameRange(input.Text(64), frameCount, error))
        if (range->first < 0 || range->first > range->last || range->last >= frameCount)
            __builtin_trap();  // a range past the stream's frames
    if (const auto mm = ParseLengthMm(input.Text(64)))
        if (!std::isfinite(*mm) || *mm <= 0)
            __builtin_trap();
    if (const auto name = CNumberedName::Parse(input.Text(64))) {
        const int number = input.Between(0, 255) * 257;
        const std::string filled = name->Fill(number);
        if (name->HasField() && filled.find(std::to_string(number)) == std::string::npos)
            __builtin_trap();
    }
    return 0;
}
