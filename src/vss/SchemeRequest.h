// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scheme asked for by family, k, n and variant, as kvt shadows and the studio take it: the
// catalogue's scheme, or the sentence that refuses it (in kvt's words, since both say the same).

#include <optional>
#include <string>

#include "vss/SchemeCatalogue.h"

struct SchemeRequest {
    SchemeFamily family = SchemeFamily::NaorShamir;
    int k = 2;
    int n = 2;
    std::optional<int> variant;  // none asked for; VariantNamed gives it from kvt's word
};

// The scheme, or nothing and in `refusal` why not: "-k 3 needs at least as many shares (-n 2)",
// "random-grid (2, 2) --variant 4 is not offered: ...".
std::optional<Scheme> ChooseScheme(const SchemeRequest& request, std::string& refusal);

// What a seed gives and what it costs, said wherever a seed is taken (two lines of kvt's help).
inline constexpr const char* kSeedWarning =
    "The same seed gives the same shares: repeatable, but such shares don't keep their secret\n"
    "from anyone who searches the seeds.";
