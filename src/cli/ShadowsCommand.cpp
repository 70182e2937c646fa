// kvt shadows: a secret split into two shadow streams, a frame at a time.

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
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
};

int RunShadows(const ShadowsOptions& options, const CommonOptions& common)
{
    const auto seed = ParseSeedOption(options.seed, "shadows");
    if (!seed)
        return kExitUsage;
    const fs::path secretPath = options.secret;
    CStreamFileReader secret;
    CStreamedShadows shadows;
    if (!OpenInput(secret, secretPath) || !shadows.Prepare(secret.GetHeader()))
        return kExitFailed;

    const fs::path dir = options.outDir ? fs::path(*options.outDir) : secretPath.parent_path();
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
        "(repeatable, but a shadow made that way does not keep its secret).",
        [options](const CommonOptions& common) { return RunShadows(*options, common); });
    shadows.add_option("SECRET", options->secret, "The secret stream")->required();
    AddSeedOption(shadows, options->seed);
    shadows.add_option("--out-dir", options->outDir, "Folder to write the shadows into")->type_name("DIR");
}
