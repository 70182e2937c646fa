// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The size a maker stream's frames may have, and how a typed side is read: as the size dialog's
// integer fields read it, so the wizard and `kvt make` accept and refuse the same texts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::int32_t kMinImageSide = 2;
inline constexpr std::int32_t kMaxImageSide = 1000;

// Reads `text` as one side of the image. Returns the message that refuses it ("請輸入一整數." when
// it is not an integer, the range message when it lies outside 2..1000), or nothing after storing
// the value in `side`.
std::optional<std::string> ReadImageSide(std::string_view text, std::int32_t& side);
