// kvt commands that put two shadows together.

#include <iostream>
#include <optional>
#include <utility>

#include "cli/Commands.h"
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "vss/StreamStacking.h"

namespace {
using StreamPair = std::pair<std::unique_ptr<CImageStream>, std::unique_ptr<CImageStream>>;

// The two shadows named first on the command line; nothing after the message of the first refused.
std::optional<StreamPair> OpenShadowPair(const Arguments& args)
{
    auto shadow1 = OpenStream(args.positional[0]);
    if (!shadow1)
        return std::nullopt;
    auto shadow2 = OpenStream(args.positional[1]);
    if (!shadow2)
        return std::nullopt;
    return StreamPair{std::move(shadow1), std::move(shadow2)};
}

int RunInterlace(const Arguments& args)
{
    const std::string mode = args.Get("--mode");
    if (mode != "1" && mode != "2") {
        std::cerr << "kvt interlace: --mode takes 1 or 2\n";
        return kExitUsage;
    }
    if (!args.Has("-o")) {
        std::cerr << "kvt interlace: -o OUT is required\n";
        return kExitUsage;
    }
    if (mode == "1" && (args.Has("--secret") || args.Has("--seed"))) {
        std::cerr << "kvt interlace: --secret and --seed belong to mode 2\n";
        return kExitUsage;
    }
    if (mode == "2" && !args.Has("--secret")) {
        std::cerr << "kvt interlace: mode 2 needs --secret SECRET\n";
        return kExitUsage;
    }
    std::optional<SeedChoice> seed;
    if (mode == "2" && !(seed = ParseSeedOption(args, "interlace")))
        return kExitUsage;
    const auto shadows = OpenShadowPair(args);
    if (!shadows)
        return kExitFailed;
    const auto& [shadow1, shadow2] = *shadows;

    CImageStream result;
    if (mode == "1") {
        if (!result.InterlaceMode1(shadow1.get(), shadow2.get()))
            return kExitFailed;
    } else {
        const auto secret = OpenStream(args.Get("--secret"));
        if (!secret)
            return kExitFailed;
        CImageStream fresh1, fresh2;
        if (!secret->CreateVSSShadows(&fresh1, &fresh2, *seed->source) ||
            !result.InterlaceMode2(shadow1.get(), shadow2.get(), &fresh1, &fresh2))
            return kExitFailed;
    }
    if (!SaveStream(result, args.Get("-o")))
        return kExitFailed;
    if (seed)
        std::cout << "seed: " << seed->description << '\n';
    return kExitOk;
}

int RunReveal(const Arguments& args)
{
    if (!args.Has("-o")) {
        std::cerr << "kvt reveal: -o OUT is required\n";
        return kExitUsage;
    }
    const auto shadows = OpenShadowPair(args);
    if (!shadows)
        return kExitFailed;
    const auto& [shadow1, shadow2] = *shadows;
    CImageStream revealed;
    if (!RevealByStacking(*shadow1, *shadow2, revealed))
        return kExitFailed;
    return SaveStream(revealed, args.Get("-o")) ? kExitOk : kExitFailed;
}
}  // namespace

std::vector<Command> VssCommands()
{
    return {
        {"interlace", "--mode 1|2 SHADOW1 SHADOW2 [--secret SECRET [--seed N]] -o OUT",
         "Interlaces two shadows in time. Mode 1: SHADOW1 and SHADOW2 alternate frame by frame.\n"
         "Mode 2: a fresh shadow pair of SECRET joins them, frames A0 C0 B0 D0 A1 ...",
         {"--mode", "--secret", "--seed", "-o"}, 2, 2, RunInterlace},
        {"reveal", "SHADOW1 SHADOW2 -o OUT",
         "Writes what a viewer sees with the two shadows exactly on top of each other: each frame\n"
         "the bytewise AND of the two, for as many frames as the shorter holds.",
         {"-o"}, 2, 2, RunReveal},
    };
}
