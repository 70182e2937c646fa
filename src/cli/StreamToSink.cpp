// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StreamToSink.h"

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "media/StreamExport.h"

int OpenStreamRange(const char* command, const std::string& path, const std::string& frames, StreamRange& input)
{
    if (!OpenInput(input.reader, path))
        return kExitFailed;
    const KvtHeader& header = input.reader.GetHeader();
    std::string error;
    const auto range = ParseFrameRange(frames, header.frameCount, error);
    if (!range) {
        ShowMessage(std::string(command) + ": " + error);
        return kExitUsage;
    }
    input.range = *range;
    return kExitOk;
}

int WriteFrames(const char* command, StreamRange& input, int scale, CFrameSink& sink, const CommonOptions& common)
{
    CProgressLine progress(command, static_cast<std::uint64_t>(input.range.Count()), common.quiet);
    std::string error;
    const CopyOutcome outcome = CopyFrames(
        input.reader, input.range.first, input.range.last, scale, sink,
        [&progress](std::uint64_t bytes) {
            progress.Advance(bytes);
            return true;
        },
        error);
    progress.Finish();
    if (outcome == CopyOutcome::written)
        return kExitOk;
    if (!error.empty())
        ShowMessage(std::string(command) + ": " + error);
    return kExitFailed;
}
