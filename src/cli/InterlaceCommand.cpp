// SPDX-License-Identifier: GPL-3.0-or-later
// kvt interlace: two shadows alternating in time, with a fresh pair of the secret in mode 2, a
// frame at a time.

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "cli/Commands.h"
#include "io/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "cli/SeedOption.h"
#include "stream/StreamFiles.h"
#include "shares/StreamedShadows.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/StreamStacking.h"
#include "vss/VssMessages.h"

namespace {
struct InterlaceOptions {
    int mode = 0;
    std::vector<std::string> shadows;
    std::optional<std::string> secret;
    std::optional<std::string> seed;
    std::string out;
};

// The options each mode takes; false after the usage line.
bool CheckModeOptions(const InterlaceOptions& options)
{
    if (options.mode == 1 && (options.secret || options.seed)) {
        ShowMessage("kvt interlace: --secret and --seed belong to mode 2");
        return false;
    }
    if (options.mode == 2 && !options.secret) {
        ShowMessage("kvt interlace: mode 2 needs --secret SECRET");
        return false;
    }
    if (options.mode == 2 && options.shadows.size() != 2) {
        ShowMessage("kvt interlace: mode 2 takes two shadows; mode 1 takes two or more");
        return false;
    }
    return true;
}

FrameSource WholeFile(const CStreamFileReader& reader)
{
    return {reader.GetHeader(), reader.GetHeader().frameCount};
}

int RunInterlace(const InterlaceOptions& options, const CommonOptions& common)
{
    std::vector<std::filesystem::path> inputs(options.shadows.begin(), options.shadows.end());
    if (options.secret)
        inputs.emplace_back(*options.secret);
    if (!CheckModeOptions(options) || !CheckOutputs("kvt interlace", {options.out}, inputs))
        return kExitUsage;
    const bool mode2 = options.mode == 2;
    std::optional<SeedChoice> seed;
    if (mode2 && !(seed = ParseSeedOption(options.seed, "interlace")))
        return kExitUsage;
    const auto shadows = OpenStreams(options.shadows);
    if (shadows.empty())
        return kExitFailed;
    std::vector<FrameSource> sources;
    for (const auto& shadow : shadows)
        sources.push_back(WholeFile(*shadow));
    CStreamFileReader& a = *shadows.front();
    CStreamFileReader secret;
    CStreamedShadows fresh;
    if (mode2 && (!OpenInput(secret, *options.secret) || !fresh.Prepare(secret.GetHeader())))
        return kExitFailed;
    const FrameSource freshSource{fresh.GetShadowHeader(), fresh.GetShadowHeader().frameCount};
    const auto frames = mode2 ? CheckInterlaceMode2(sources[0], sources[1], freshSource, freshSource)
                              : CheckInterlaceMode1(sources);
    if (!frames)
        return kExitFailed;

    const KvtHeader& shape = a.GetHeader();
    CStreamFileWriter writer;
    FrameBuffer frame;
    if (!OpenOutput(writer, options.out, shape, *frames) ||
        !(frame = AllocateFrame(shape.FrameBytes(), vss_messages::kInterlaceNoMemory)))
        return kExitFailed;
    CProgressLine progress("Interlacing", *frames, common.quiet);
    const auto write = [&](const BYTE* result) {
        progress.Advance(shape.frameSize);
        return WriteOutputFrame(writer, result);
    };
    const auto copy = [&](CStreamFileReader& from) { return from.ReadFrame(frame.get()) && write(frame.get()); };
    const auto copyEach = [&] {
        for (const auto& shadow : shadows)
            if (!copy(*shadow))
                return false;
        return true;
    };
    // Frame k of each source in turn: A B ..., or A C B D with C and D made from secret frame k.
    for (unsigned k = 0; k < shape.frameCount; ++k) {
        const bool written = mode2 ? copy(a) && fresh.MakeNext(secret, *seed->source) &&
                                         write(fresh.GetShadow1()) && copy(*shadows[1]) && write(fresh.GetShadow2())
                                   : copyEach();
        if (!written)
            return kExitFailed;
    }
    progress.Finish();
    if (!CommitOutput(writer))
        return kExitFailed;
    if (seed) {
        std::cout << "seed: " << seed->description << '\n';
        WarnIfSeeded(std::cerr, seed->seed, "kvt interlace");
    }
    return kExitOk;
}
}  // namespace

void AddInterlaceCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<InterlaceOptions>();
    CCommand interlace = commandLine.AddCommand(
        "interlace",
        "Interlaces shadows in time. Mode 1: the shadows (two or more) take turns frame by frame,\n"
        "A0 B0 C0 ... A1 B1 C1 .... Mode 2: a fresh shadow pair of SECRET joins two shadows, frames\n"
        "A0 C0 B0 D0 A1 ...",
        [options](const CommonOptions& common) { return RunInterlace(*options, common); });
    interlace.AddOption("SHADOWS", options->shadows, "The shadows, in the order they take turns")
        .Required()
        .Expected(2, 64);
    interlace.AddOption("--mode", options->mode, "Interlace mode")
        .Required()
        .Check(COptionCheck::OneOfNumbers({1, 2}))
        .OptionText("1|2");
    interlace.AddOption("--secret", options->secret, "The secret of the fresh pair (mode 2)").TypeName("SECRET");
    AddSeedOption(interlace, options->seed);
    interlace.AddOption("-o", options->out, "The file to write").Required().TypeName("OUT");
}
