// SPDX-License-Identifier: GPL-3.0-or-later
// kvt shadows: a secret split into n shares by a threshold scheme, a frame at a time.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/SeedOption.h"
#include "io/Message.h"
#include "shares/ShareWriting.h"
#include "vss/ExtendedShares.h"
#include "vss/SchemeCatalogue.h"
#include "vss/SchemeRequest.h"

namespace fs = std::filesystem;

namespace {
struct ShadowsOptions {
    std::string secret;
    std::string scheme = "naor-shamir";
    std::optional<int> k;
    std::optional<int> n;
    std::optional<std::string> variant;
    std::optional<std::string> seed;
    std::optional<std::string> outDir;
    std::vector<std::string> covers;
    std::optional<std::string> key;
    std::vector<COption> schemeOptions;  // --scheme, -k, -n, --variant
};

// Covers and a key make (2, 2) shares of their own kind: they go neither together nor with a
// scheme's options.
std::optional<std::string> RefuseCombination(const ShadowsOptions& options)
{
    const bool covers = !options.covers.empty();
    if (covers && options.covers.size() != 2)
        return "--cover is given twice: the first share's cover, then the second's";
    if (covers && options.key)
        return "--cover and --key exclude each other";
    if (options.key && options.seed)
        return "--key makes no random patterns: --seed does not go with it";
    for (const COption& schemeOption : options.schemeOptions) {
        if ((covers || options.key) && schemeOption.WasGiven())
            return std::string(covers ? "--cover" : "--key") + " makes (2, 2) shares of its own: " +
                   schemeOption.GetName() + " does not go with it";
    }
    return std::nullopt;
}

// The scheme the options name; nothing after a usage line saying what is allowed.
std::optional<Scheme> SchemeOfOptions(const ShadowsOptions& options)
{
    const auto family = FamilyNamed(options.scheme);
    if (!family) {
        ShowMessage("kvt shadows: --scheme takes naor-shamir, random-grid, probabilistic, progressive or xor");
        return std::nullopt;
    }
    const std::optional<int> variant = options.variant ? VariantNamed(*options.variant) : std::nullopt;
    if (options.variant && !variant) {
        ShowMessage("kvt shadows: --variant takes 1, 2, 3, compact or chen-tsao");
        return std::nullopt;
    }
    std::string refusal;
    auto scheme = ::ChooseScheme(SchemeRequest{*family, options.k.value_or(2),
                                               options.n.value_or(std::max(options.k.value_or(2), 2)), variant},
                                 refusal);
    if (!scheme)
        ShowMessage("kvt shadows: " + refusal);
    return scheme;
}

int RunShadows(const ShadowsOptions& options, const CommonOptions& common)
{
    if (const auto refusal = RefuseCombination(options)) {
        ShowMessage("kvt shadows: " + *refusal);
        return kExitUsage;
    }
    ShareRequest request;
    request.secret = options.secret;
    if (!options.covers.empty()) {
        request.kind = CoverPair{options.covers[0], options.covers[1]};
    } else if (options.key) {
        request.kind = KeyStream{*options.key};
    } else if (auto scheme = SchemeOfOptions(options)) {
        request.kind = std::move(*scheme);
    } else {
        return kExitUsage;
    }
    if (!ParseSeedText(options.seed, "shadows", request.seed))
        return kExitUsage;
    request.folder = options.outDir ? fs::path(*options.outDir) : request.secret.parent_path();

    CShareWriting shares;
    if (!shares.Prepare(request))
        return kExitFailed;
    CProgressLine progress("Making shadows", shares.GetShareHeader().frameCount, common.quiet);
    const ShareResult result = shares.Write([&progress](const ShareProgress& done) {
        progress.Advance(done.bytes);
        return true;
    });
    progress.Finish();
    if (result != ShareResult::Written)
        return kExitFailed;
    shares.WarnAfterWriting(std::cerr);
    std::cout << shares.GetHeading();
    WarnIfSeeded(std::cerr, request.seed, "kvt shadows");
    for (const fs::path& path : shares.GetPaths())
        std::cout << path.string() << '\n';
    return kExitOk;
}

// Every naor-shamir scheme, whose m and contrast follow no simple rule, and the small ones of the
// other families.
std::string SchemesHelp()
{
    std::string text;
    for (const SchemeChoice& choice : OfferedSchemes())
        if (choice.n <= 3 || choice.family == SchemeFamily::NaorShamir)
            text += "  " + DescribeScheme(*LookUpScheme(choice, nullptr)) + "\n";
    return text;
}
}  // namespace

void AddShadowsCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ShadowsOptions>();
    CCommand shadows = commandLine.AddCommand(
        "shadows",
        "Splits SECRET into N shares, BASE-Shadow1.kvt ... BASE-ShadowN.kvt, written into DIR (by\n"
        "default beside SECRET), all of them or none; any K stacked show the secret, fewer show\n"
        "nothing. By default VSS(2, 2) in 2 x 2 blocks. The patterns come from the system's random\n"
        "generator; with --seed N from a generator seeded with N.\n" +
            std::string(kSeedWarning) +
            "\nnaor-shamir (2, 2) with --seed takes the player's 32-bit generator, whose patterns repeat\n"
            "with its period: where a frame's pixels are a multiple of 65536, one share alone shows across\n"
            "frames where the secret changed. Other schemes' seeded streams run on across frames and\n"
            "repeat nothing.\nSchemes (k, n offered; contrast with K shares stacked):\n" +
            SchemesHelp() +
            "Every contrast of naor-shamir but --variant compact is the best any scheme of that (k, n) can\n"
            "have; m is the least found for it. probabilistic: any 2 <= k <= n <= 8, one random column of\n"
            "naor-shamir's basis a pixel, its relative difference on average; random-grid: any\n"
            "2 <= k <= n <= 8; progressive: (2, n), n up to 8, (t - 1)/n with t shares stacked; xor: any\n"
            "2 <= k <= n <= 8, shares to be XORed by kvt reveal --xor.\n"
            "With --cover C1 --cover C2 (black-and-white streams of SECRET's size, looped when shorter)\n"
            "each of two shares shows its cover and only the two stacked show the secret:\n  " +
            std::string(extended_shares::kDescription) +
            ".\nWith --key KEY (a first share as kvt shadows makes: SECRET's shares' size, 2 x 2 blocks of\n"
            "two black subpixels) only BASE-Shadow2.kvt is written, to be stacked on KEY. A key whose\n"
            "blocks are not uniformly random (a chi-square test of each frame's patterns and of\n"
            "neighbouring pairs, p < 1e-9) is refused; a key used for several secrets, or with fewer\n"
            "frames than SECRET, gives away where they differ.",
        [options](const CommonOptions& common) { return RunShadows(*options, common); });
    shadows.AddOption("SECRET", options->secret, "The secret stream").Required();
    options->schemeOptions = {
        shadows.AddOption("--scheme", options->scheme, "naor-shamir (default), random-grid, probabilistic, progressive or xor")
            .TypeName("S"),
        shadows.AddOption("-k", options->k, "Shares needed to see the secret (default 2)").TypeName("K"),
        shadows.AddOption("-n", options->n, "Shares made (default K)").TypeName("N"),
        shadows.AddOption("--variant", options->variant, "Kafri-Keren algorithm 1, 2 or 3 (random-grid (2, 2)); compact: the\n"
                          "least m (naor-shamir, where its best contrast costs a much larger m)")
            .TypeName("V")};
    AddSeedOption(shadows, options->seed);
    shadows.AddOption("--out-dir", options->outDir, "Folder to write the shares into").TypeName("DIR");
    shadows.AddOption("--cover", options->covers, "A cover stream, once for each shadow")
        .AllowExtraArgs(false)
        .TypeName("COVER");
    shadows.AddOption("--key", options->key, "A first share of the shares' size to make the second against").TypeName("KEY");
}
