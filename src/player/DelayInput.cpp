#include "player/DelayInput.h"

#include <QString>

#include "player/PlayerStrings.h"

std::optional<std::string> ReadDelay(std::string_view text, UINT& uDelay)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    const std::string_view digits = first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::string(player_strings::kNotPositiveInteger);

    // Any number with more digits than the range allows is out of it, however large.
    const auto significant = digits.find_first_not_of('0');
    const std::string_view value = significant == std::string_view::npos ? "0" : digits.substr(significant);
    UINT uValue = 0;
    if (value.size() <= 4)
        for (const char c : value)
            uValue = uValue * 10 + static_cast<UINT>(c - '0');
    if (value.size() > 4 || uValue < kMinDelay || uValue > kMaxDelay)
        return QString::fromUtf8(player_strings::kIntegerRange).arg(kMinDelay).arg(kMaxDelay).toStdString();
    uDelay = uValue;
    return std::nullopt;
}
