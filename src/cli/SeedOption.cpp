// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SeedOption.h"

#include <charconv>
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
    std::uint32_t number = 0;
    const char* end = seedText->data() + seedText->size();
    const auto [stop, error] = std::from_chars(seedText->data(), end, number);
    if (seedText->empty() || error != std::errc() || stop != end) {
        ShowMessage("kvt " + std::string(command) + ": --seed takes a number from 0 to 4294967295");
        return false;
    }
    seed = number;
    return true;
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
