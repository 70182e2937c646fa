#pragma once
// The --seed option of the commands that make shadows.

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

// The pattern source that the arguments ask for. Null, after a usage line on stderr naming
// `command`, when --seed is not a number from 0 to 4294967295.
std::optional<SeedChoice> ParseSeedOption(const Arguments& args, std::string_view command);
