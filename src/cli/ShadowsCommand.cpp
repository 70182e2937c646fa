// kvt shadows: a secret split into two shadow streams, a frame at a time.

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
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "cli/StreamedShadows.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/ShadowTitles.h"

namespace fs = std::filesystem;

namespace {
struct ShadowsOptions {
    std::string secret;
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
    return std::nullopt;
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
    const auto seed = ParseSeedOption(options.seed, "shadows");
    if (!seed)
        return kExitUsage;
    CStreamFileReader secret;
    CStreamedShadows shadows;
    if (!OpenInput(secret, secretPath) || !shadows.Prepare(secret.GetHeader()))
        return kExitFailed;

    const std::string source_title = secretPath.filename().string();
    const fs::path path1 = dir / (ShadowTitle(source_title, 1) + ".kvt");
    const fs::path path2 = dir / (ShadowTitle(source_title, 2) + ".kvt");
    const CImageStream& shape = shadows.GetShadowHeader();
    CStreamFileWriter out1, out2;
    if (!OpenOutput(out1, path1, shape, shape.GetFrameCount()) ||
        !OpenOutput(out2, path2, shape, shape.GetFrameCount()))
        return kExitFailed;

    CProgressLine progress("Making shadows", shape.GetFrameCount(), common.quiet);
    CGreySecretCheck greyCheck;
    for (unsigned n = 0; n < shape.GetFrameCount(); ++n) {
        if (!shadows.MakeNext(secret, *seed->source))
            return kExitFailed;
        greyCheck.CountFrame(shadows.GetSecret(), secret.GetHeader());
        if (!WriteOutputFrame(out1, shadows.GetShadow1()) || !WriteOutputFrame(out2, shadows.GetShadow2()))
            return kExitFailed;
        progress.Advance(2 * std::uint64_t{shape.GetFrameSize()});
    }
    progress.Finish();
    // Both shadows or neither: one alone is of no use.
    if (!CommitOutputs(out1, out2))
        return kExitFailed;
    greyCheck.Warn(std::cerr, "kvt shadows", secretPath.string());
    std::cout << "seed: " << seed->description << '\n' << path1.string() << '\n' << path2.string() << '\n';
    return kExitOk;
}
}  // namespace

void AddShadowsCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ShadowsOptions>();
    CLI::App& shadows = commandLine.AddCommand(
        "shadows",
        "Splits SECRET into two VSS(2, 2) shadow streams, BASE-Shadow1.kvt and BASE-Shadow2.kvt,\n"
        "written into DIR (by default beside SECRET). The patterns come from the system's random\n"
        "generator; with --seed N from a seeded generator, the same seed giving the same shadows\n"
        "(repeatable, but a shadow made that way does not keep its secret).\n"
        "With --cover C1 --cover C2 (black-and-white streams of SECRET's size) each shadow shows its\n"
        "cover, and only the two stacked show the secret (extended visual cryptography, Ateniese et\n"
        "al. 1996: blocks of 2 or 3 black subpixels of 4 in a shadow, 3 or 4 stacked). With --key KEY\n"
        "(a first shadow of SECRET's size) only BASE-Shadow2.kvt is written, to be stacked on KEY; a key\n"
        "with fewer frames than SECRET, or used for several secrets, gives away where they differ.",
        [options](const CommonOptions& common) { return RunShadows(*options, common); });
    shadows.add_option("SECRET", options->secret, "The secret stream")->required();
    AddSeedOption(shadows, options->seed);
    shadows.add_option("--out-dir", options->outDir, "Folder to write the shadows into")->type_name("DIR");
    shadows.add_option("--cover", options->covers, "A cover stream, once for each shadow")
        ->allow_extra_args(false)
        ->type_name("COVER");
    shadows.add_option("--key", options->key, "A first shadow to make the second against")->type_name("KEY");
}
