// kvt interlace: two shadows alternating in time, with a fresh pair of the secret in mode 2.

#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/SeedOption.h"
#include "cli/ShadowPair.h"
#include "cli/StreamFiles.h"

namespace {
struct InterlaceOptions {
    int mode = 0;
    std::string shadow1;
    std::string shadow2;
    std::optional<std::string> secret;
    std::optional<std::string> seed;
    std::string out;
};

// The options each mode takes; false after the usage line.
bool CheckModeOptions(const InterlaceOptions& options)
{
    if (options.mode == 1 && (options.secret || options.seed)) {
        std::cerr << "kvt interlace: --secret and --seed belong to mode 2\n";
        return false;
    }
    if (options.mode == 2 && !options.secret) {
        std::cerr << "kvt interlace: mode 2 needs --secret SECRET\n";
        return false;
    }
    return true;
}

int RunInterlace(const InterlaceOptions& options)
{
    if (!CheckModeOptions(options))
        return kExitUsage;
    std::optional<SeedChoice> seed;
    if (options.mode == 2 && !(seed = ParseSeedOption(options.seed, "interlace")))
        return kExitUsage;
    const auto shadows = OpenShadowPair(options.shadow1, options.shadow2);
    if (!shadows)
        return kExitFailed;
    const auto& [shadow1, shadow2] = *shadows;

    CImageStream result;
    if (options.mode == 1) {
        if (!result.InterlaceMode1(shadow1.get(), shadow2.get()))
            return kExitFailed;
    } else {
        const auto secret = OpenStream(*options.secret);
        if (!secret)
            return kExitFailed;
        CImageStream fresh1, fresh2;
        if (!secret->CreateVSSShadows(&fresh1, &fresh2, *seed->source) ||
            !result.InterlaceMode2(shadow1.get(), shadow2.get(), &fresh1, &fresh2))
            return kExitFailed;
    }
    if (!SaveStream(result, options.out))
        return kExitFailed;
    if (seed)
        std::cout << "seed: " << seed->description << '\n';
    return kExitOk;
}
}  // namespace

void AddInterlaceCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<InterlaceOptions>();
    CLI::App& interlace = commandLine.AddCommand(
        "interlace",
        "Interlaces two shadows in time. Mode 1: SHADOW1 and SHADOW2 alternate frame by frame.\n"
        "Mode 2: a fresh shadow pair of SECRET joins them, frames A0 C0 B0 D0 A1 ...",
        [options](const CommonOptions&) { return RunInterlace(*options); });
    interlace.add_option("SHADOW1", options->shadow1, "The first shadow")->required();
    interlace.add_option("SHADOW2", options->shadow2, "The second shadow")->required();
    interlace.add_option("--mode", options->mode, "Interlace mode")
        ->required()
        ->check(CLI::IsMember({1, 2}))
        ->option_text("1|2");
    interlace.add_option("--secret", options->secret, "The secret of the fresh pair (mode 2)")->type_name("SECRET");
    AddSeedOption(interlace, options->seed);
    interlace.add_option("-o", options->out, "The file to write")->required()->type_name("OUT");
}
