#pragma once
// The --seed option of the commands that make shadows (kvt shadows, kvt interlace --mode 2).
// Without --seed the patterns come from the system's cryptographic generator and the command
// prints "seed: none (system random)"; --seed N (0 to 4294967295) selects the classic generator
// seeded with N, reproducible bit for bit, and the command prints "seed: N".

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "vss/PatternSource.h"

struct SeedChoice {
    std::unique_ptr<CPatternSource> source;
    std::string description;  // what follows "seed: " in the command's output
};

// The pattern source that the arguments ask for, and the words for "seed: ". Null, after a usage
// line on stderr naming `command`, when --seed is not a number from 0 to 4294967295.
std::optional<SeedChoice> ParseSeedOption(const Arguments& args, std::string_view command);
