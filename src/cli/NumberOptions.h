// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number options as users write them: lengths with their unit, and ranges said plainly when a
// value falls outside them ("--fps: 0 is not a number more than 0 and at most 1000").

#include <optional>
#include <string>

#include "cli/CommandLine.h"

// "0.4mm", "0.04cm", "0.02in", "40um" or "1.2pt" in millimetres; nothing for a bare number, a
// length that is not above 0, or anything else.
std::optional<double> ParseLengthMm(const std::string& text);
// What a length option takes, for its usage error.
inline constexpr const char* kLengthUnits = "a length with its unit: mm, cm, in, um or pt, such as 0.4mm";

// A number from `low` to `high`, both allowed.
COptionCheck NumberFrom(double low, double high);
// A number more than `low` and at most `high`.
COptionCheck NumberAbove(double low, double high);
// A whole number from `low` to `high`, both allowed.
COptionCheck WholeNumberFrom(int low, int high);
