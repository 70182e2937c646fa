// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the SetTimer dialog reads its edit box: an unsigned decimal number, blanks and tabs around
// it allowed and nothing else, within the delays the player plays at.

#include <optional>
#include <string>
#include <string_view>

#include "framework/TimerService.h"
#include "stream/FrameDelay.h"

// Reads `text` into `uDelay`. Returns the message refusing it, or nothing when `uDelay` was set.
std::optional<std::string> ReadDelay(std::string_view text, UINT& uDelay);
