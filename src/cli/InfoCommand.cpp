// kvt info: the header of a stream, checked as the player checks it on opening.

#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "cli/StreamFiles.h"
#include "stream/StreamFileReader.h"

namespace {
int RunInfo(const std::string& file)
{
    // The open refuses what a load of one frame would refuse; the frames themselves are not read,
    // since nothing printed depends on them.
    CStreamFileReader reader;
    if (!OpenInput(reader, file))
        return kExitFailed;
    const CImageStream& header = reader.GetHeader();
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
        "info", "Checks a .kvt file as the player opens it and prints its header.",
        [file](const CommonOptions&) { return RunInfo(*file); });
    info.add_option("FILE", *file, "The stream")->required();
}
