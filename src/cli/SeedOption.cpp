#include "cli/SeedOption.h"

#include <cstdint>
#include <ctime>
#include <iostream>

std::optional<SeedChoice> ParseSeedOption(const Arguments& args, std::string_view command)
{
    std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr));
    if (args.Has("--seed")) {
        const auto value = ParseNumber(args.Get("--seed"), UINT32_MAX);
        if (!value) {
            std::cerr << "kvt " << command << ": --seed takes a number from 0 to 4294967295\n";
            return std::nullopt;
        }
        seed = static_cast<std::uint32_t>(*value);
    }
    return SeedChoice{std::make_unique<CLcgPatternSource>(seed), std::to_string(seed)};
}
