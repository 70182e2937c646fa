#include "maker/ImageSizeRule.h"

#include <algorithm>
#include <cctype>

#include "maker/MakerStrings.h"

namespace {
bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// An optionally signed decimal integer with blanks around it. Values too large for any side are
// clamped, which keeps them out of range without overflowing.
std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
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

std::string RangeMessage()
{
    std::string message;
    for (std::string_view rest = maker_strings::kEnterIntegerInRange; !rest.empty();) {
        if (rest.starts_with("%1") || rest.starts_with("%2")) {
            message += std::to_string(rest[1] == '1' ? kMinImageSide : kMaxImageSide);
            rest.remove_prefix(2);
        } else {
            message += rest.front();
            rest.remove_prefix(1);
        }
    }
    return message;
}
}  // namespace

std::optional<std::string> ReadImageSide(std::string_view text, std::int32_t& side)
{
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value)
        return maker_strings::kEnterAnInteger;
    if (*value < kMinImageSide || *value > kMaxImageSide)
        return RangeMessage();
    side = static_cast<std::int32_t>(*value);
    return std::nullopt;
}
