// SPDX-License-Identifier: GPL-3.0-or-later
// kvt export: a stream's frames out as pictures, an animation or a video.

#include <QSize>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/MediaCommands.h"
#include "cli/NumberOptions.h"
#include "io/OutputCheck.h"
#include "cli/StreamToSink.h"
#include "io/Message.h"
#include "media/LibraryMessages.h"
#include "media/FrameSink.h"
#include "media/StreamExport.h"
#include "media/VideoFileSink.h"
#include "stream/FrameDelay.h"

namespace fs = std::filesystem;

namespace {
struct ExportOptions {
    std::string in;
    std::string out;
    int scale = 1;
    int delayMs = static_cast<int>(kDefaultDelay);
    std::string frames;
};

int RunExport(const ExportOptions& options, const CommonOptions& common)
{
    ExportTarget target;
    target.out = options.out;
    target.delayMs = options.delayMs;
    if (!(target.format = FindExportFormat(target.out))) {
        ShowMessage("kvt export: " + options.out + ": the name must end in " + kExportEndings);
        return kExitUsage;
    }
    StreamRange input;
    if (const int status = OpenStreamRange("kvt export", options.in, options.frames, input))
        return status;
    const KvtHeader& header = input.reader.GetHeader();
    const QSize size(header.width, header.height);
    std::string error;
    if (const auto refusal = RefuseExportSize(size, options.scale)) {
        ShowMessage("kvt export: " + *refusal);
        return kExitUsage;
    }
    target.size = size * options.scale;
    target.first = input.range.first;
    target.last = input.range.last;
    if (target.format->picture && !(target.names = ExportPictureNames(target.out, input.range.Count(), error))) {
        ShowMessage("kvt export: " + error);
        return kExitUsage;
    }
    std::vector<fs::path> outputs;
    for (int index = target.first; target.names && index <= target.last; ++index)
        outputs.push_back(target.out.parent_path() / target.names->Fill(index));
    if (!CheckOutputs("kvt export", target.names ? outputs : std::vector<fs::path>{target.out}, {options.in}))
        return kExitUsage;
    const CLibraryMessages libraryMessages("kvt export");
    const bool gif = !target.format->picture && target.format->video == VideoKind::gif;
    if (const auto warning = GifDelayWarning(options.delayMs); gif && warning)
        ShowMessage("kvt export: warning: " + *warning);
    const std::unique_ptr<CFrameSink> sink = OpenExportSink(target, nullptr, error);
    if (!sink) {
        ShowMessage("kvt export: " + error);
        return kExitFailed;
    }
    if (const auto* video = dynamic_cast<const CVideoFileSink*>(sink.get()))
        if (const auto warning = LossyVideoWarning(video->GetEncoder()))
            ShowMessage("kvt export: warning: " + *warning);
    return WriteFrames("kvt export", input, options.scale, *sink, common);
}

}  // namespace

void AddExportCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ExportOptions>();
    CCommand command = commandLine.AddCommand(
        kExportCommand.name, kExportCommand.description,
        [options](const CommonOptions& common) { return RunExport(*options, common); });
    command.AddOption("IN", options->in, "The stream to read").Required();
    command.AddOption("-o", options->out, "The file (or numbered files) to write").Required().TypeName("OUT");
    command.AddOption("--scale", options->scale, "Every pixel becomes an N x N block (default 1)")
        .TypeName("N")
        .Check(WholeNumberFrom(1, 1000));
    command.AddOption("--delay", options->delayMs, "Milliseconds each frame shows (default 100)")
        .TypeName("MS")
        .Check(WholeNumberFrom(static_cast<int>(kMinDelay), static_cast<int>(kMaxDelay)));
    command.AddOption("--frames", options->frames, "Frames A to B (from 0; default all)").TypeName("A..B");
}

