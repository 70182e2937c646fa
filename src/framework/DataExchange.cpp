// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/DataExchange.h"

#include <algorithm>
#include <cctype>

#include "framework/FrameworkStrings.h"

namespace {
bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The number in `text`, or nothing when it holds anything else. Values too large for any range
// are clamped, which keeps them out of range without overflowing.
std::optional<std::int64_t> ParseNumber(std::string_view text, NumberKind kind)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (kind == NumberKind::Signed && !text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    constexpr std::int64_t kClamp = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), kClamp);
    }
    return negative ? -value : value;
}

std::string RangeMessage(std::int64_t min, std::int64_t max)
{
    std::string message;
    for (std::string_view rest = framework_strings::kNumberOutOfRange; !rest.empty();) {
        if (rest.starts_with("%1") || rest.starts_with("%2")) {
            message += std::to_string(rest[1] == '1' ? min : max);
            rest.remove_prefix(2);
        } else {
            message += rest.front();
            rest.remove_prefix(1);
        }
    }
    return message;
}
}  // namespace

std::optional<std::string> ReadNumberInRange(std::string_view text, NumberKind kind, std::int64_t min,
                                             std::int64_t max, std::int64_t& value)
{
    const std::optional<std::int64_t> number = ParseNumber(text, kind);
    if (!number)
        return kind == NumberKind::Signed ? framework_strings::kNotAnInteger : framework_strings::kNotAPositiveInteger;
    if (*number < min || *number > max)
        return RangeMessage(min, max);
    value = *number;
    return std::nullopt;
}
