// SPDX-License-Identifier: GPL-3.0-or-later
// kvt copy: a stream read and saved again, as the player does, a frame at a time.

#include <memory>

#include "cli/Commands.h"
#include "io/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"

namespace {
struct CopyOptions {
    std::string in;
    std::string out;
};

int RunCopy(const CopyOptions& options, const CommonOptions& common)
{
    if (!CheckOutputs("kvt copy", {options.out}, {options.in}))
        return kExitUsage;
    CStreamFileReader reader;
    if (!OpenInput(reader, options.in))
        return kExitFailed;
    const KvtHeader& header = reader.GetHeader();
    // The header goes out as it came in, reserved fields included, as the player's save keeps them.
    CStreamFileWriter writer;
    if (header.frameCount == 0 || !writer.Open(options.out, header)) {
        ShowSaveError(options.out, header.frameCount == 0 ? "no frames" : writer.GetError());
        return kExitFailed;
    }
    const FrameBuffer frame = AllocateFrame(header.FrameBytes(), kNotEnoughMemory);
    if (!frame)
        return kExitFailed;

    CProgressLine progress("Copying", header.frameCount, common.quiet);
    for (unsigned n = 0; n < header.frameCount; ++n) {
        if (!reader.ReadFrame(frame.get()) || !WriteOutputFrame(writer, frame.get()))
            return kExitFailed;
        progress.Advance(header.frameSize);
    }
    progress.Finish();
    return CommitOutput(writer) ? kExitOk : kExitFailed;
}
}  // namespace

void AddCopyCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<CopyOptions>();
    CCommand copy = commandLine.AddCommand(
        "copy", "Reads IN as the player opens a file and writes it to OUT as the player saves one.",
        [options](const CommonOptions& common) { return RunCopy(*options, common); });
    copy.AddOption("IN", options->in, "The stream to read").Required();
    copy.AddOption("OUT", options->out, "The file to write").Required();
}
