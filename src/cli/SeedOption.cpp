// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SeedOption.h"

#include <ostream>

#include "io/Message.h"

void AddSeedOption(CCommand& command, std::optional<std::string>& seedText)
{
    command.AddOption("--seed", seedText,
                       "Patterns from a generator seeded with N (0 to 4294967295): repeatable, but not secret")
        .TypeName("N");
}

bool ParseSeedText(const std::optional<std::string>& seedText, std::string_view command,
                   std::optional<std::uint32_t>& seed)
{
    seed.reset();
    if (!seedText)
        return true;
    seed = ParseSeed(*seedText);
    if (!seed)
        ShowMessage("kvt " + std::string(command) + ": " + kSeedRefusal);
    return seed.has_value();
}

void WarnIfSeeded(std::ostream& err, const std::optional<std::uint32_t>& seed, std::string_view command)
{
    if (seed)
        err << command << ": warning: " << kSeededSharesWarning << '\n';
}

std::optional<SeedChoice> ParseSeedOption(const std::optional<std::string>& seedText, std::string_view command)
{
    std::optional<std::uint32_t> seed;
    if (!ParseSeedText(seedText, command, seed))
        return std::nullopt;
    return ChooseSeed(seed);
}
