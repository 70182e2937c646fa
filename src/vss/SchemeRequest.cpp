// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/SchemeRequest.h"

std::optional<Scheme> ChooseScheme(const SchemeRequest& request, std::string& refusal)
{
    SchemeChoice choice{request.family, request.k, request.n, 0};
    if (choice.k > choice.n) {
        refusal = "-k " + std::to_string(choice.k) + " needs at least as many shares (-n " + std::to_string(choice.n) + ")";
        return std::nullopt;
    }
    if (request.variant)
        choice.variant = *request.variant == 0 ? -1 : *request.variant;  // 0 asked for: refused below
    std::string why;
    auto scheme = LookUpScheme(choice, &why);
    if (!scheme)
        refusal = std::string(FamilyName(request.family)) + " (" + std::to_string(choice.k) + ", " +
                  std::to_string(choice.n) + ")" +
                  (request.variant ? " --variant " + VariantName(*request.variant) : std::string()) +
                  " is not offered: " + why;
    return scheme;
}
