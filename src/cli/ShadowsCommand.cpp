// kvt shadows: a secret split into n shares by a threshold scheme, a frame at a time.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/CoverShadows.h"
#include "cli/GreySecretCheck.h"
#include "cli/ProgressLine.h"
#include "cli/SchemeShares.h"
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/SchemeCatalogue.h"
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
};

// Covers and a key make shares of their own kind; they don't go together, nor with a seed yet.
std::optional<std::string> RefuseCombination(const ShadowsOptions& options)
{
    if (!options.covers.empty() && options.covers.size() != 2)
        return "--cover is given twice: the first share's cover, then the second's";
    if (!options.covers.empty() && options.key)
        return "--cover and --key exclude each other";
    if (options.key && options.seed)
        return "--key makes no random patterns: --seed does not go with it";
    if (!options.covers.empty() && options.seed)
        return "--cover shares come from the system's random generator: --seed does not go with them";
    const bool schemeAsked = options.scheme != "naor-shamir" || options.k || options.n || options.variant;
    if ((!options.covers.empty() || options.key) && schemeAsked)
        return "--cover and --key make (2, 2) shares: --scheme, -k, -n and --variant do not go with them";
    return std::nullopt;
}

// The scheme the options name; nothing after a usage line saying what is allowed.
std::optional<Scheme> ChooseScheme(const ShadowsOptions& options)
{
    const auto family = FamilyNamed(options.scheme);
    if (!family) {
        std::cerr << "kvt shadows: --scheme takes naor-shamir, random-grid or probabilistic\n";
        return std::nullopt;
    }
    SchemeChoice choice{*family, options.k.value_or(2), options.n.value_or(std::max(options.k.value_or(2), 2)),
                        options.variant.value_or(0)};
    if (choice.k > choice.n) {
        std::cerr << "kvt shadows: -k " << choice.k << " needs at least as many shares (-n " << choice.n
                  << ")\n";
        return std::nullopt;
    }
    if (options.variant && *options.variant == 0)
        choice.variant = -1;  // asked for and not offered: refused below
    std::string refusal;
    auto scheme = LookUpScheme(choice, &refusal);
    if (!scheme)
        std::cerr << "kvt shadows: " << FamilyName(*family) << " (" << choice.k << ", " << choice.n << ")"
                  << (options.variant ? " --variant " + std::to_string(*options.variant) : std::string())
                  << " is not offered: " << refusal << '\n';
    return scheme;
}

struct ShareOutputs {
    std::vector<fs::path> paths;
    std::vector<std::unique_ptr<CStreamFileWriter>> writers;
};

bool OpenShares(ShareOutputs& outputs, const fs::path& dir, const std::string& sourceTitle, int n,
                const CImageStream& shape)
{
    for (int i = 1; i <= n; ++i) {
        outputs.paths.push_back(dir / (ShadowTitle(sourceTitle, i) + ".kvt"));
        outputs.writers.push_back(std::make_unique<CStreamFileWriter>());
        if (!OpenOutput(*outputs.writers.back(), outputs.paths.back(), shape, shape.GetFrameCount()))
            return false;
    }
    return true;
}

int RunShadows(const ShadowsOptions& options, const CommonOptions& common)
{
    if (const auto refusal = RefuseCombination(options)) {
        std::cerr << "kvt shadows: " << *refusal << '\n';
        return kExitUsage;
    }
    const fs::path secretPath = options.secret;
    const fs::path dir = options.outDir ? fs::path(*options.outDir) : secretPath.parent_path();
    if (!options.covers.empty())
        return RunCoverShadows(secretPath, options.covers[0], options.covers[1], dir, common);
    if (options.key)
        return RunKeyedShadow(secretPath, *options.key, dir, common);
    const auto scheme = ChooseScheme(options);
    if (!scheme)
        return kExitUsage;
    auto seed = ParseSeedOption(options.seed, "shadows");
    if (!seed)
        return kExitUsage;
    CStreamFileReader secret;
    CSchemeShares shares;
    if (!OpenInput(secret, secretPath) || !shares.Prepare(*scheme, secret.GetHeader(), *seed))
        return kExitFailed;

    const int n = scheme->choice.n;
    const CImageStream& shape = shares.GetShareHeader();
    ShareOutputs outputs;
    if (!OpenShares(outputs, dir, secretPath.filename().string(), n, shape))
        return kExitFailed;

    CProgressLine progress("Making shadows", shape.GetFrameCount(), common.quiet);
    CGreySecretCheck greyCheck;
    for (unsigned f = 0; f < shape.GetFrameCount(); ++f) {
        if (!shares.MakeNext(secret))
            return kExitFailed;
        greyCheck.CountFrame(shares.GetSecret(), secret.GetHeader());
        for (int i = 0; i < n; ++i)
            if (!WriteOutputFrame(*outputs.writers[static_cast<std::size_t>(i)], shares.GetShare(i)))
                return kExitFailed;
        progress.Advance(static_cast<std::uint64_t>(n) * shape.GetFrameSize());
    }
    progress.Finish();
    // Every share or none: a threshold counts on all of them.
    std::vector<CStreamFileWriter*> writers;
    for (const auto& writer : outputs.writers)
        writers.push_back(writer.get());
    if (!CommitOutputs(writers))
        return kExitFailed;
    greyCheck.Warn(std::cerr, "kvt shadows", secretPath.string());
    if (!(scheme->choice == SchemeChoice{}))
        std::cout << "scheme: " << DescribeScheme(*scheme) << '\n';
    std::cout << "seed: " << seed->description << '\n';
    for (const fs::path& path : outputs.paths)
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
    CLI::App& shadows = commandLine.AddCommand(
        "shadows",
        "Splits SECRET into N shares, BASE-Shadow1.kvt ... BASE-ShadowN.kvt, written into DIR (by\n"
        "default beside SECRET), all of them or none; any K stacked show the secret, fewer show\n"
        "nothing. By default VSS(2, 2) in 2 x 2 blocks. The patterns come from the system's random\n"
        "generator; with --seed N from a generator seeded with N, the same seed giving the same\n"
        "shares: repeatable, but such shares don't keep their secret from anyone who searches the\n"
        "seeds. Schemes (k, n offered; contrast with K shares stacked):\n" +
            SchemesHelp() +
            "naor-shamir and probabilistic: (n, n) and (2, n) for n up to 8, (k, n) for 3 <= k < n <= 6,\n"
            "probabilistic with the relative difference of naor-shamir on average; random-grid: any\n"
            "2 <= k <= n <= 8.\n"
            "With --cover C1 --cover C2 (black-and-white streams of SECRET's size) each of two shares shows\n"
            "its cover, and only the two stacked show the secret (extended visual cryptography, Ateniese et\n"
            "al. 1996: blocks of 2 or 3 black subpixels of 4 in a share, 3 or 4 stacked). With --key KEY\n"
            "(a first share of SECRET's size) only BASE-Shadow2.kvt is written, to be stacked on KEY; a key\n"
            "with fewer frames than SECRET, or used for several secrets, gives away where they differ.",
        [options](const CommonOptions& common) { return RunShadows(*options, common); });
    shadows.add_option("SECRET", options->secret, "The secret stream")->required();
    shadows.add_option("--scheme", options->scheme, "naor-shamir (default), random-grid or probabilistic")
        ->type_name("S");
    shadows.add_option("-k", options->k, "Shares needed to see the secret (default 2)")->type_name("K");
    shadows.add_option("-n", options->n, "Shares made (default K)")->type_name("N");
    shadows.add_option("--variant", options->variant, "Kafri-Keren algorithm 1, 2 or 3 (random-grid (2, 2))")
        ->type_name("V");
    AddSeedOption(shadows, options->seed);
    shadows.add_option("--out-dir", options->outDir, "Folder to write the shares into")->type_name("DIR");
    shadows.add_option("--cover", options->covers, "A cover stream, once for each of two shares")
        ->allow_extra_args(false)
        ->type_name("COVER");
    shadows.add_option("--key", options->key, "A first share to make the second against")->type_name("KEY");
}
