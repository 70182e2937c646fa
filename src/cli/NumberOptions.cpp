// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/NumberOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {
struct Unit {
    std::string_view name;
    double mm;
};
constexpr Unit kUnits[] = {{"mm", 1}, {"cm", 10}, {"in", 25.4}, {"um", 0.001}, {"pt", 25.4 / 72}};

// 1000, not 1e+03; 0.5, not 5e-01.
std::string Plain(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::optional<double> ReadNumber(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

COptionCheck Bounded(double low, double high, bool lowAllowed, bool whole)
{
    const std::string range = (whole ? "a whole number " : "a number ") +
                              (lowAllowed ? "from " + Plain(low) + " to " : "more than " + Plain(low) + " and at most ") +
                              Plain(high);
    return COptionCheck([=](std::string& text) -> std::string {
        const auto value = ReadNumber(text);
        if (value && (lowAllowed ? *value >= low : *value > low) && *value <= high &&
            (!whole || *value == std::floor(*value)))
            return {};
        return text + " is not " + range;
    });
}
}  // namespace

std::optional<double> ParseLengthMm(const std::string& text)
{
    for (const Unit& unit : kUnits) {
        if (text.size() <= unit.name.size() || text.compare(text.size() - unit.name.size(), unit.name.size(), unit.name) != 0)
            continue;
        const auto value = ReadNumber(std::string_view(text).substr(0, text.size() - unit.name.size()));
        if (value && *value > 0)
            return *value * unit.mm;
        return std::nullopt;
    }
    return std::nullopt;
}

COptionCheck NumberFrom(double low, double high) { return Bounded(low, high, true, false); }
COptionCheck NumberAbove(double low, double high) { return Bounded(low, high, false, false); }
COptionCheck WholeNumberFrom(int low, int high) { return Bounded(low, high, true, true); }
