// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StreamToSink.h"

#include <vector>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "media/FramePicture.h"
#include "media/FrameSink.h"

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
    const KvtHeader& header = input.reader.GetHeader();
    std::vector<BYTE> frame(header.FrameBytes());
    CProgressLine progress(command, static_cast<std::uint64_t>(input.range.Count()), common.quiet);
    auto fail = [&](const std::string& error) {
        progress.Finish();
        if (!error.empty())
            ShowMessage(std::string(command) + ": " + error);
        return kExitFailed;
    };
    for (int index = 0; index <= input.range.last; ++index) {
        if (!input.reader.ReadFrame(frame.data()))
            return fail({});  // the reader has said why
        if (index < input.range.first)
            continue;
        const std::uint64_t before = sink.GetBytesWritten();
        const QImage grey = WrapGreyFrame(frame.data(), header.width, header.height);
        if (!sink.Write(ScaleUpNearest(grey, scale), index))
            return fail(sink.GetError());
        progress.Advance(sink.GetBytesWritten() - before);
    }
    if (!sink.Finish())
        return fail(sink.GetError());
    progress.Finish();
    return kExitOk;
}
