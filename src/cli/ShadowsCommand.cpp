// kvt shadows: a secret split into two shadow streams.

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "stream/ImageStream.h"
#include "vss/ShadowTitles.h"

namespace fs = std::filesystem;

namespace {
struct ShadowsOptions {
    std::string secret;
    std::optional<std::string> seed;
    std::optional<std::string> outDir;
};

int RunShadows(const ShadowsOptions& options)
{
    const auto seed = ParseSeedOption(options.seed, "shadows");
    if (!seed)
        return kExitUsage;
    const fs::path secretPath = options.secret;
    const auto secret = OpenStream(secretPath);
    if (!secret)
        return kExitFailed;

    CImageStream shadow1, shadow2;
    if (!secret->CreateVSSShadows(&shadow1, &shadow2, *seed->source))
        return kExitFailed;

    const fs::path dir = options.outDir ? fs::path(*options.outDir) : secretPath.parent_path();
    const std::string source_title = secretPath.filename().string();
    const fs::path out1 = dir / (ShadowTitle(source_title, 1) + ".kvt");
    const fs::path out2 = dir / (ShadowTitle(source_title, 2) + ".kvt");
    if (!SaveStream(shadow1, out1) || !SaveStream(shadow2, out2))
        return kExitFailed;
    std::cout << "seed: " << seed->description << '\n' << out1.string() << '\n' << out2.string() << '\n';
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
        [options](const CommonOptions&) { return RunShadows(*options); });
    shadows.add_option("SECRET", options->secret, "The secret stream")->required();
    AddSeedOption(shadows, options->seed);
    shadows.add_option("--out-dir", options->outDir, "Folder to write the shadows into")->type_name("DIR");
}
