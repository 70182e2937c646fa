// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a key's 2 x 2 blocks look drawn at random: a key that repeats a pattern (or cycles through
// a few) makes a second share from which the secret can be read alone, so it is refused.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Below this p-value a key frame is taken for not random: a truly random key fails once in 10^9
// frames, a constant one of 30 blocks or more always.
inline constexpr double kKeyRandomnessLevel = 1e-9;

// Why the key frame (2 width x 2 height subpixels at the shares' 4-byte-aligned stride, every block
// two of four black) is not uniformly random, or nothing. Chi-square goodness of fit of its blocks'
// six patterns to equal chances, and of neighbouring pairs' 36; frames too small for a test pass it.
std::optional<std::string> KeyRandomnessFault(const std::uint8_t* key, std::size_t width, std::size_t height);
