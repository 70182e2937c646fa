#include "cli/SeedOption.h"

#include <cstdint>
#include <iostream>

std::optional<SeedChoice> ParseSeedOption(const Arguments& args, std::string_view command)
{
    // Without a seed the shadows must keep their secret: system random patterns.
    if (!args.Has("--seed"))
        return SeedChoice{std::make_unique<CSecurePatternSource>(), "none (system random)"};
    const auto value = ParseNumber(args.Get("--seed"), UINT32_MAX);
    if (!value) {
        std::cerr << "kvt " << command << ": --seed takes a number from 0 to 4294967295\n";
        return std::nullopt;
    }
    const auto seed = static_cast<std::uint32_t>(*value);
    return SeedChoice{std::make_unique<CLcgPatternSource>(seed), std::to_string(seed)};
}
