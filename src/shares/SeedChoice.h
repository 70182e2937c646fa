// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the patterns of shares come from: the system's cryptographic generator, or a generator
// seeded with a number, which repeats its shares bit for bit and so keeps them from nobody who
// searches the seeds.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vss/PatternSource.h"

class CRandomSource;

// What is said wherever shares are made with a seed: by kvt shadows on stderr after "warning: ",
// and by the studio beside its seed.
inline constexpr const char* kSeededSharesWarning =
    "shares made with --seed keep no secret: whoever holds one can try all 4294967296 seeds and read the "
    "secret. Leave --seed out for shares that are handed out.";

// Why a text is no seed, as kvt says it after "kvt COMMAND: " and the studio beside its seed.
inline constexpr const char* kSeedRefusal = "--seed takes a number from 0 to 4294967295";

// The seed a text names: digits only, 0 to 4294967295; nothing for any other text.
std::optional<std::uint32_t> ParseSeed(std::string_view text);

struct SeedChoice {
    std::unique_ptr<CPatternSource> source;  // the classic (2, 2) patterns
    std::optional<std::uint32_t> seed;       // none: system random
    std::string description;                 // what follows "seed: " in kvt's output
};

// The classic patterns of `seed`, or of the system without one.
SeedChoice ChooseSeed(std::optional<std::uint32_t> seed);

// The ChaCha20 stream of the schemes beyond the classic patterns: keyed by the seed chosen, or by
// the system. Null, after the message, when no random bytes can be had.
std::unique_ptr<CRandomSource> MakeRandomSource(const SeedChoice& seed);
