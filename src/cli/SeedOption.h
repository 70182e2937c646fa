// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --seed option of the commands that make shadows (kvt shadows, kvt interlace --mode 2).
// Without --seed the patterns come from the system's cryptographic generator and the command
// prints "seed: none (system random)"; --seed N (0 to 4294967295) selects the classic generator
// seeded with N, reproducible bit for bit, and the command prints "seed: N" and, on stderr, that
// such shares keep no secret.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "shares/SeedChoice.h"

// Declares --seed on a command. The text is checked when the command runs, so that a bad seed gets
// the command's own message.
void AddSeedOption(CCommand& command, std::optional<std::string>& seedText);

// The seed --seed names in `seed`, none without it; false, after a usage line on stderr naming
// `command`, when the text is not a number from 0 to 4294967295.
bool ParseSeedText(const std::optional<std::string>& seedText, std::string_view command,
                   std::optional<std::uint32_t>& seed);

// The pattern source that --seed asks for, and the words for "seed: ". Nothing, after the usage
// line, when the text is no seed.
std::optional<SeedChoice> ParseSeedOption(const std::optional<std::string>& seedText, std::string_view command);

// With a seed: the warning on `err` that the shares just made keep no secret, since anyone can try
// every seed. `command` names the run, as "kvt shadows".
void WarnIfSeeded(std::ostream& err, const std::optional<std::uint32_t>& seed, std::string_view command);
