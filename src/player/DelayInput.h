#pragma once
// How the SetTimer dialog reads its edit box: an unsigned decimal number, blanks and tabs around
// it allowed and nothing else, within 1 to 3000 milliseconds.

#include <optional>
#include <string>
#include <string_view>

#include "framework/TimerService.h"

inline constexpr UINT kMinDelay = 1;
inline constexpr UINT kMaxDelay = 3000;

// Reads `text` into `uDelay`. Returns the message refusing it, or nothing when `uDelay` was set.
std::optional<std::string> ReadDelay(std::string_view text, UINT& uDelay);
