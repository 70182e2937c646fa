// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SeedOption.h"

#include <charconv>
#include <ostream>

#include "io/Message.h"
#include "vss/RandomSource.h"
#include "vss/VssMessages.h"

void AddSeedOption(CCommand& command, std::optional<std::string>& seedText)
{
    command.AddOption("--seed", seedText,
                       "Patterns from a generator seeded with N (0 to 4294967295): repeatable, but not secret")
        .TypeName("N");
}

std::optional<SeedChoice> ParseSeedOption(const std::optional<std::string>& seedText, std::string_view command)
{
    // Without a seed the shadows must keep their secret: system random patterns.
    if (!seedText)
        return SeedChoice{std::make_unique<CSecurePatternSource>(), std::nullopt, "none (system random)"};
    std::uint32_t seed = 0;
    const char* end = seedText->data() + seedText->size();
    const auto [stop, error] = std::from_chars(seedText->data(), end, seed);
    if (seedText->empty() || error != std::errc() || stop != end) {
        ShowMessage("kvt " + std::string(command) + ": --seed takes a number from 0 to 4294967295");
        return std::nullopt;
    }
    return SeedChoice{std::make_unique<CLcgPatternSource>(seed), seed, std::to_string(seed)};
}

void WarnIfSeeded(std::ostream& err, const SeedChoice& seed, std::string_view command)
{
    if (seed.seed)
        err << command << ": warning: shares made with --seed keep no secret: whoever holds one can try all "
            << "4294967296 seeds and read the secret. Leave --seed out for shares that are handed out.\n";
}

std::unique_ptr<CRandomSource> MakeRandomSource(const SeedChoice& seed)
{
    std::unique_ptr<CRandomSource> random;
    if (seed.seed)
        random = CChaChaRandomSource::FromSeed(*seed.seed);
    else
        random = CChaChaRandomSource::FromSystem();
    if (!random)
        ShowMessage(vss_messages::kShadowsNoPatterns);
    return random;
}
