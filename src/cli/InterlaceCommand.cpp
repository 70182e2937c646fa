// kvt interlace: two shadows alternating in time, with a fresh pair of the secret in mode 2, a
// frame at a time.

#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/SeedOption.h"
#include "cli/StreamFiles.h"
#include "cli/StreamedShadows.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/StreamStacking.h"
#include "vss/VssMessages.h"

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

FrameSource WholeFile(const CStreamFileReader& reader)
{
    return {reader.GetHeader(), reader.GetHeader().GetFrameCount()};
}

int RunInterlace(const InterlaceOptions& options, const CommonOptions& common)
{
    if (!CheckModeOptions(options))
        return kExitUsage;
    const bool mode2 = options.mode == 2;
    std::optional<SeedChoice> seed;
    if (mode2 && !(seed = ParseSeedOption(options.seed, "interlace")))
        return kExitUsage;
    CStreamFileReader a, b, secret;
    if (!OpenInput(a, options.shadow1) || !OpenInput(b, options.shadow2))
        return kExitFailed;
    CStreamedShadows fresh;
    if (mode2 && (!OpenInput(secret, *options.secret) || !fresh.Prepare(secret.GetHeader())))
        return kExitFailed;
    const FrameSource freshSource{fresh.GetShadowHeader(), fresh.GetShadowHeader().GetFrameCount()};
    const auto frames = mode2 ? CheckInterlaceMode2(WholeFile(a), WholeFile(b), freshSource, freshSource)
                              : CheckInterlaceMode1(WholeFile(a), WholeFile(b));
    if (!frames)
        return kExitFailed;

    const CImageStream& shape = a.GetHeader();
    CStreamFileWriter writer;
    FrameBuffer frame;
    if (!OpenOutput(writer, options.out, shape, *frames) ||
        !(frame = AllocateFrame(shape.GetFrameBytes(), vss_messages::kInterlaceNoMemory)))
        return kExitFailed;
    CProgressLine progress("Interlacing", *frames, common.quiet);
    const auto write = [&](const BYTE* result) {
        progress.Advance(shape.GetFrameSize());
        return WriteOutputFrame(writer, result);
    };
    const auto copy = [&](CStreamFileReader& from) { return from.ReadFrame(frame.get()) && write(frame.get()); };
    // Frame k of each source in turn: A B, or A C B D with C and D made from secret frame k.
    for (unsigned k = 0; k < shape.GetFrameCount(); ++k) {
        const bool written = mode2 ? copy(a) && fresh.MakeNext(secret, *seed->source) &&
                                         write(fresh.GetShadow1()) && copy(b) && write(fresh.GetShadow2())
                                   : copy(a) && copy(b);
        if (!written)
            return kExitFailed;
    }
    progress.Finish();
    if (!CommitOutput(writer))
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
        [options](const CommonOptions& common) { return RunInterlace(*options, common); });
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
