// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The delays between frames the player plays at, in milliseconds; kvt's exports take the same.

#include <cstdint>

inline constexpr std::uint32_t kMinDelay = 1;
inline constexpr std::uint32_t kMaxDelay = 3000;
// What the player starts at, since a stream says nothing of its rate; exports and the studio's
// playing take it too.
inline constexpr std::uint32_t kDefaultDelay = 100;
