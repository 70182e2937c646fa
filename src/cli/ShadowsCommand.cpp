// SPDX-License-Identifier: GPL-3.0-or-later
// kvt shadows: a secret split into n shares by a threshold scheme, a frame at a time.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/CoverShares.h"
#include "cli/GreySecretCheck.h"
#include "cli/ProgressLine.h"
#include "cli/SchemeShares.h"
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/ExtendedShares.h"
#include "vss/RandomSource.h"
#include "vss/SchemeCatalogue.h"
#include "vss/SchemeRequest.h"
#include "vss/ShadowTitles.h"

namespace fs = std::filesystem;

namespace {
struct ShadowsOptions {
    std::string secret;
    std::string scheme = "naor-shamir";
    std::optional<int> k;
    std::optional<int> n;
    std::optional<int> variant;
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
        ShowMessage("kvt shadows: --scheme takes naor-shamir, random-grid or probabilistic");
        return std::nullopt;
    }
    std::string refusal;
    auto scheme = ::ChooseScheme(SchemeRequest{*family, options.k.value_or(2),
                                               options.n.value_or(std::max(options.k.value_or(2), 2)), options.variant},
                                 refusal);
    if (!scheme)
        ShowMessage("kvt shadows: " + refusal);
    return scheme;
}

// Writes every share of `shares` frame by frame as the secret is read, all of them or none; the
// paths written, in order, or nothing after the message.
std::optional<std::vector<fs::path>> WriteShares(CShareStreams& shares, CStreamFileReader& secret,
                                                 const fs::path& secretPath, const fs::path& dir,
                                                 const CommonOptions& common)
{
    const int n = shares.GetShareCount();
    const KvtHeader& shape = shares.GetShareHeader();
    std::vector<fs::path> paths;
    std::vector<std::unique_ptr<CStreamFileWriter>> writers;
    for (int i = 0; i < n; ++i) {
        paths.push_back(dir / (ShadowTitle(secretPath.filename().string(), shares.GetShareNumber(i)) + ".kvt"));
        writers.push_back(std::make_unique<CStreamFileWriter>());
        if (!OpenOutput(*writers.back(), paths.back(), shape, shape.frameCount))
            return std::nullopt;
    }
    CProgressLine progress("Making shadows", shape.frameCount, common.quiet);
    CGreySecretCheck greyCheck;
    for (unsigned f = 0; f < shape.frameCount; ++f) {
        if (!shares.MakeNext(secret))
            return std::nullopt;
        greyCheck.CountFrame(shares.GetSecret(), secret.GetHeader());
        for (int i = 0; i < n; ++i)
            if (!WriteOutputFrame(*writers[static_cast<std::size_t>(i)], shares.GetShare(i)))
                return std::nullopt;
        progress.Advance(static_cast<std::uint64_t>(n) * shape.frameSize);
    }
    progress.Finish();
    // Every share or none: a threshold counts on all of them.
    std::vector<CStreamFileWriter*> pointers;
    for (const auto& writer : writers)
        pointers.push_back(writer.get());
    if (!CommitOutputs(pointers))
        return std::nullopt;
    greyCheck.Warn(std::cerr, "kvt shadows", secretPath.string());
    return paths;
}

int RunShadows(const ShadowsOptions& options, const CommonOptions& common)
{
    if (const auto refusal = RefuseCombination(options)) {
        ShowMessage("kvt shadows: " + *refusal);
        return kExitUsage;
    }
    const bool threshold = options.covers.empty() && !options.key;
    const auto scheme = threshold ? SchemeOfOptions(options) : std::optional<Scheme>();
    if (threshold && !scheme)
        return kExitUsage;
    auto seed = ParseSeedOption(options.seed, "shadows");
    if (!seed)
        return kExitUsage;
    const fs::path secretPath = options.secret;
    const fs::path dir = options.outDir ? fs::path(*options.outDir) : secretPath.parent_path();
    CStreamFileReader secret;
    if (!OpenInput(secret, secretPath))
        return kExitFailed;

    std::unique_ptr<CRandomSource> random;
    std::unique_ptr<CShareStreams> shares;
    std::string heading;  // what is said before the paths
    if (scheme) {
        auto schemeShares = std::make_unique<CSchemeShares>();
        if (!schemeShares->Prepare(*scheme, secret.GetHeader(), *seed))
            return kExitFailed;
        shares = std::move(schemeShares);
        if (!(scheme->choice == SchemeChoice{}))
            heading = "scheme: " + DescribeScheme(*scheme) + "\n";
        heading += "seed: " + seed->description + "\n";
    } else if (options.key) {
        auto keyed = std::make_unique<CKeyedShare>();
        if (!keyed->Prepare(secret.GetHeader(), *options.key))
            return kExitFailed;
        shares = std::move(keyed);
    } else {
        auto covered = std::make_unique<CCoverShares>();
        if (!(random = MakeRandomSource(*seed)) ||
            !covered->Prepare(secret.GetHeader(), options.covers[0], options.covers[1], *random))
            return kExitFailed;
        shares = std::move(covered);
        heading = std::string("scheme: ") + extended_shares::kDescription + "\nseed: " + seed->description + "\n";
    }
    const auto paths = WriteShares(*shares, secret, secretPath, dir, common);
    if (!paths)
        return kExitFailed;
    if (options.key)
        static_cast<const CKeyedShare&>(*shares).WarnOfReuse(std::cerr, secretPath);
    std::cout << heading;
    WarnIfSeeded(std::cerr, *seed, "kvt shadows");
    for (const fs::path& path : *paths)
        std::cout << path.string() << '\n';
    return kExitOk;
}

// The small schemes of every family, and every (k, n) of the column-weight construction, whose m
// and contrast follow no simple rule.
std::string SchemesHelp()
{
    std::string text;
    for (const SchemeChoice& choice : OfferedSchemes()) {
        const bool columnWeights = choice.family == SchemeFamily::NaorShamir && choice.k > 2 && choice.k < choice.n;
        if (choice.n <= 3 || columnWeights)
            text += "  " + DescribeScheme(*LookUpScheme(choice, nullptr)) + "\n";
    }
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
            "\nSchemes (k, n offered; contrast with K shares stacked):\n" +
            SchemesHelp() +
            "naor-shamir and probabilistic: (n, n) and (2, n) for n up to 8, (k, n) for 3 <= k < n <= 6,\n"
            "probabilistic with the relative difference of naor-shamir on average; random-grid: any\n"
            "2 <= k <= n <= 8.\n"
            "With --cover C1 --cover C2 (black-and-white streams of SECRET's size, looped when shorter)\n"
            "each of two shares shows its cover and only the two stacked show the secret:\n  " +
            std::string(extended_shares::kDescription) +
            ".\nWith --key KEY (a first share of SECRET's size) only BASE-Shadow2.kvt is written, to be\n"
            "stacked on KEY; a key used for several secrets, or with fewer frames than SECRET, gives\n"
            "away where they differ.",
        [options](const CommonOptions& common) { return RunShadows(*options, common); });
    shadows.AddOption("SECRET", options->secret, "The secret stream").Required();
    options->schemeOptions = {
        shadows.AddOption("--scheme", options->scheme, "naor-shamir (default), random-grid or probabilistic")
            .TypeName("S"),
        shadows.AddOption("-k", options->k, "Shares needed to see the secret (default 2)").TypeName("K"),
        shadows.AddOption("-n", options->n, "Shares made (default K)").TypeName("N"),
        shadows.AddOption("--variant", options->variant, "Kafri-Keren algorithm 1, 2 or 3 (random-grid (2, 2))")
            .TypeName("V")};
    AddSeedOption(shadows, options->seed);
    shadows.AddOption("--out-dir", options->outDir, "Folder to write the shares into").TypeName("DIR");
    shadows.AddOption("--cover", options->covers, "A cover stream, once for each shadow")
        .AllowExtraArgs(false)
        .TypeName("COVER");
    shadows.AddOption("--key", options->key, "A first shadow to make the second against").TypeName("KEY");
}
