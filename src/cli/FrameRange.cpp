// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FrameRange.h"

#include <charconv>

namespace {
// A whole number of decimal digits only; `fallback` for an empty text.
std::optional<int> ReadIndex(std::string_view text, int fallback)
{
    if (text.empty())
        return fallback;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    return value;
}
}  // namespace

std::optional<FrameRange> ParseFrameRange(const std::string& text, int frameCount, std::string& error)
{
    if (frameCount <= 0) {
        error = "the stream holds no frames";
        return std::nullopt;
    }
    const std::string_view whole(text);
    const std::size_t dots = whole.find("..");
    const auto first = ReadIndex(whole.substr(0, dots), 0);
    const auto last = dots == std::string_view::npos ? (text.empty() ? std::optional(frameCount - 1) : first)
                                                     : ReadIndex(whole.substr(dots + 2), frameCount - 1);
    if (!first || !last || *first > *last || *last >= frameCount) {
        error = "--frames " + text + ": expected A..B with 0 <= A <= B <= " + std::to_string(frameCount - 1) +
                " (the stream's last frame)";
        return std::nullopt;
    }
    return FrameRange{*first, *last};
}
