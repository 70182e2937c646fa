// SPDX-License-Identifier: GPL-3.0-or-later
// kvt reveal: shares laid exactly on each other (or their XOR), a frame at a time.

#include <memory>
#include <vector>

#include "cli/Commands.h"
#include "io/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "stream/StreamFiles.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/StreamStacking.h"
#include "vss/VssMessages.h"

namespace {
struct RevealOptions {
    std::vector<std::string> shares;
    bool xorShares = false;
    std::string out;
};

int RunReveal(const RevealOptions& options, const CommonOptions& common)
{
    if (!CheckOutputs("kvt reveal", {options.out}, {options.shares.begin(), options.shares.end()}))
        return kExitUsage;
    const auto readers = OpenStreams(options.shares);
    if (readers.empty())
        return kExitFailed;
    std::vector<FrameSource> sources;
    for (const auto& reader : readers)
        sources.push_back({reader->GetHeader(), reader->GetHeader().frameCount});
    const auto frames = CheckReveal(sources);
    if (!frames)
        return kExitFailed;

    const KvtHeader& header = readers.front()->GetHeader();
    const KvtHeader shape = KvtHeader::Built(header.width, header.height, *frames);
    const std::size_t bytes = shape.FrameBytes();
    CStreamFileWriter writer;
    if (!OpenOutput(writer, options.out, shape, *frames))
        return kExitFailed;
    const FrameBuffer result = AllocateFrame(bytes, vss_messages::kRevealNoMemory);
    const FrameBuffer share = result ? AllocateFrame(bytes, vss_messages::kRevealNoMemory) : nullptr;
    if (!share)
        return kExitFailed;
    CProgressLine progress("Revealing", *frames, common.quiet);
    for (unsigned k = 0; k < *frames; ++k) {
        if (!readers.front()->ReadFrame(result.get()))
            return kExitFailed;
        for (std::size_t i = 1; i < readers.size(); ++i) {
            if (!readers[i]->ReadFrame(share.get()))
                return kExitFailed;
            if (options.xorShares)
                XorFrames(share.get(), result.get(), bytes);
            else
                StackFrames(result.get(), share.get(), result.get(), bytes);
        }
        if (!WriteOutputFrame(writer, result.get()))
            return kExitFailed;
        progress.Advance(shape.frameSize);
    }
    progress.Finish();
    return CommitOutput(writer) ? kExitOk : kExitFailed;
}
}  // namespace

void AddRevealCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<RevealOptions>();
    CCommand reveal = commandLine.AddCommand(
        "reveal",
        "Writes what a viewer sees with the shares exactly on top of each other: each frame the\n"
        "bytewise AND of them all (black wins), for as many frames as the shortest holds. With --xor,\n"
        "black where an odd number of shares is black: the secret itself from all n shares of\n"
        "random-grid (n, n) (for (2, 2) only --variant 1, the default: --variant 2 gets white pixels\n"
        "right and black ones half the time, --variant 3 the reverse) and of xor (n, n); from k shares\n"
        "of xor (k, n), black over black pixels more often than over white by its XOR difference.",
        [options](const CommonOptions& common) { return RunReveal(*options, common); });
    reveal.AddOption("SHARES", options->shares, "Two or more shares of one width and height")
        .Required()
        .Expected(2, 64);
    reveal.AddFlag("--xor", options->xorShares, "XOR the shares instead of stacking them");
    reveal.AddOption("-o", options->out, "The file to write").Required().TypeName("OUT");
}
