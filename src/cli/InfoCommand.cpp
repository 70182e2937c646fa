// kvt info: the header of a stream and the frames a load holds.

#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "stream/StreamFileReader.h"

namespace {
int RunInfo(const std::string& file, const CommonOptions& common)
{
    CStreamFileReader reader;
    if (!reader.Open(file))
        return kExitFailed;
    const CImageStream& header = reader.GetHeader();
    // Every frame is read as a load reads it, so that what a load refuses is refused here too.
    const FrameBuffer frame = AllocateFrame(header.GetFrameBytes(), kNotEnoughMemory);
    if (!frame)
        return kExitFailed;
    CProgressLine progress("Reading", header.GetFrameCount(), common.quiet);
    for (unsigned n = 0; n < header.GetFrameCount(); ++n) {
        if (!reader.ReadFrame(frame.get()))
            return kExitFailed;
        progress.Advance(header.GetFrameSize());
    }
    progress.Finish();

    const auto reserved = header.GetReserved();
    std::cout << "width: " << header.GetWidth() << "\nheight: " << header.GetHeight()
              << "\nframe size: " << header.GetFrameSize() << "\nframe count: " << header.GetFrameCount()
              << "\nframes: " << header.GetFrameCount() << "\nreserved: " << reserved[0] << ' ' << reserved[1]
              << ' ' << reserved[2] << ' ' << reserved[3] << '\n';
    return kExitOk;
}
}  // namespace

void AddInfoCommand(CCommandLine& commandLine)
{
    auto file = std::make_shared<std::string>();
    CLI::App& info = commandLine.AddCommand(
        "info", "Checks and reads a .kvt file as the player opens it and prints its header.",
        [file](const CommonOptions& common) { return RunInfo(*file, common); });
    info.add_option("FILE", *file, "The stream")->required();
}
