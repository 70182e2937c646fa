#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "cli/DemoStream.h"
#include "stream/ImageStream.h"
#include "cli/StreamFiles.h"
#include "cli/SeedOption.h"
#include "vss/ShadowTitles.h"

namespace fs = std::filesystem;

namespace {
int RunInfo(const Arguments& args)
{
    const auto stream = OpenStream(args.positional[0]);
    if (!stream)
        return kExitFailed;
    const auto reserved = stream->GetReserved();
    std::cout << "width: " << stream->GetWidth() << "\nheight: " << stream->GetHeight()
              << "\nframe size: " << stream->GetFrameSize() << "\nframe count: " << stream->GetFrameCount()
              << "\nframes: " << stream->GetFramesHeld() << "\nreserved: " << reserved[0] << ' '
              << reserved[1] << ' ' << reserved[2] << ' ' << reserved[3] << '\n';
    return kExitOk;
}

int RunCopy(const Arguments& args)
{
    const auto stream = OpenStream(args.positional[0]);
    return stream && SaveStream(*stream, args.positional[1]) ? kExitOk : kExitFailed;
}

int RunShadows(const Arguments& args)
{
    const auto seed = ParseSeedOption(args, "shadows");
    if (!seed)
        return kExitUsage;
    const fs::path secretPath = args.positional[0];
    const auto secret = OpenStream(secretPath);
    if (!secret)
        return kExitFailed;

    CImageStream shadow1, shadow2;
    if (!secret->CreateVSSShadows(&shadow1, &shadow2, *seed->source))
        return kExitFailed;

    const fs::path dir = args.Has("--out-dir") ? fs::path(args.Get("--out-dir")) : secretPath.parent_path();
    const std::string source_title = secretPath.filename().string();
    const fs::path out1 = dir / (ShadowTitle(source_title, 1) + ".kvt");
    const fs::path out2 = dir / (ShadowTitle(source_title, 2) + ".kvt");
    if (!SaveStream(shadow1, out1) || !SaveStream(shadow2, out2))
        return kExitFailed;
    std::cout << "seed: " << seed->description << '\n' << out1.string() << '\n' << out2.string() << '\n';
    return kExitOk;
}

int RunDemo(const Arguments& args)
{
    const fs::path dir = args.Get("--out-dir", ".");
    const fs::path out = dir / "demo.kvt";
    if (!SaveStream(*MakeDemoStream(), out))
        return kExitFailed;
    std::cout << out.string() << '\n';
    return kExitOk;
}
}  // namespace

std::vector<Command> StreamCommands()
{
    return {
        {"info", "FILE", "Checks and loads a .kvt file as the player opens it and prints its header.",
         {}, 1, 1, RunInfo},
        {"copy", "IN OUT",
         "Loads IN as the player opens a file and writes it to OUT as the player saves one.", {}, 2, 2,
         RunCopy},
        {"shadows", "SECRET [--seed N] [--out-dir DIR]",
         "Splits SECRET into two VSS(2, 2) shadow streams, BASE-Shadow1.kvt and BASE-Shadow2.kvt,\n"
         "written into DIR (by default beside SECRET). The patterns come from the system's random\n"
         "generator; with --seed N from a seeded generator, the same seed giving the same shadows\n"
         "(repeatable, but a shadow made that way does not keep its secret).",
         {"--seed", "--out-dir"}, 1, 1, RunShadows},
        {"demo", "[--out-dir DIR]", "Writes demo.kvt, the built-in secret motion picture.", {"--out-dir"},
         0, 0, RunDemo},
    };
}
