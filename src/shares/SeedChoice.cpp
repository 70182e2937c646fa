// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/SeedChoice.h"

#include <charconv>

#include "io/Message.h"
#include "vss/RandomSource.h"
#include "vss/VssMessages.h"

std::optional<std::uint32_t> ParseSeed(std::string_view text)
{
    std::uint32_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return seed;
}

SeedChoice ChooseSeed(std::optional<std::uint32_t> seed)
{
    // Without a seed the shadows must keep their secret: system random patterns.
    if (!seed)
        return SeedChoice{std::make_unique<CSecurePatternSource>(), std::nullopt, "none (system random)"};
    return SeedChoice{std::make_unique<CLcgPatternSource>(*seed), seed, std::to_string(*seed)};
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
