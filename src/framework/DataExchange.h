// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a dialog's number field reads what was typed, with the framework's messages: a whole number
// with blanks around it and nothing else, then within its range.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class NumberKind {
    Signed,   // an optional sign; otherwise "請輸入一整數."
    Unsigned  // digits only; otherwise "請輸入一正整數."
};

// Reads `text` into `value`. Returns the message refusing it (the kind's message when it is not a
// number, "請輸入一個在 min 到 max 之間的整數." when it lies outside), or nothing when `value` was set.
std::optional<std::string> ReadNumberInRange(std::string_view text, NumberKind kind, std::int64_t min,
                                             std::int64_t max, std::int64_t& value);
