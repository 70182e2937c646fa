// kvt reveal: two shadows laid exactly on each other, a frame at a time.

#include <memory>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/StreamStacking.h"
#include "vss/VssMessages.h"

namespace {
struct RevealOptions {
    std::string shadow1;
    std::string shadow2;
    std::string out;
};

int RunReveal(const RevealOptions& options, const CommonOptions& common)
{
    CStreamFileReader a, b;
    if (!OpenInput(a, options.shadow1) || !OpenInput(b, options.shadow2))
        return kExitFailed;
    const CImageStream& header = a.GetHeader();
    const auto frames = CheckReveal({header, header.GetFrameCount()}, {b.GetHeader(), b.GetHeader().GetFrameCount()});
    if (!frames)
        return kExitFailed;

    CImageStream shape;
    shape.Initialize(header.GetWidth(), header.GetHeight(), *frames);
    const std::size_t bytes = shape.GetFrameBytes();
    CStreamFileWriter writer;
    if (!OpenOutput(writer, options.out, shape, *frames))
        return kExitFailed;
    const FrameBuffer frameA = AllocateFrame(bytes, vss_messages::kRevealNoMemory);
    const FrameBuffer frameB = frameA ? AllocateFrame(bytes, vss_messages::kRevealNoMemory) : nullptr;
    if (!frameB)
        return kExitFailed;
    CProgressLine progress("Revealing", *frames, common.quiet);
    for (unsigned k = 0; k < *frames; ++k) {
        if (!a.ReadFrame(frameA.get()) || !b.ReadFrame(frameB.get()))
            return kExitFailed;
        // The AND goes into A's buffer: it is read afresh for the next frame.
        StackFrames(frameA.get(), frameB.get(), frameA.get(), bytes);
        if (!WriteOutputFrame(writer, frameA.get()))
            return kExitFailed;
        progress.Advance(shape.GetFrameSize());
    }
    progress.Finish();
    return CommitOutput(writer) ? kExitOk : kExitFailed;
}
}  // namespace

void AddRevealCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<RevealOptions>();
    CLI::App& reveal = commandLine.AddCommand(
        "reveal",
        "Writes what a viewer sees with the two shadows exactly on top of each other: each frame\n"
        "the bytewise AND of the two, for as many frames as the shorter holds.",
        [options](const CommonOptions& common) { return RunReveal(*options, common); });
    reveal.add_option("SHADOW1", options->shadow1, "The first shadow")->required();
    reveal.add_option("SHADOW2", options->shadow2, "The second shadow")->required();
    reveal.add_option("-o", options->out, "The file to write")->required()->type_name("OUT");
}
