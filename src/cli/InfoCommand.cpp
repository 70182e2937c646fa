// kvt info: the header of a stream and the frames a load holds.

#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "cli/StreamFiles.h"

namespace {
int RunInfo(const std::string& file)
{
    const auto stream = OpenStream(file);
    if (!stream)
        return kExitFailed;
    const auto reserved = stream->GetReserved();
    std::cout << "width: " << stream->GetWidth() << "\nheight: " << stream->GetHeight()
              << "\nframe size: " << stream->GetFrameSize() << "\nframe count: " << stream->GetFrameCount()
              << "\nframes: " << stream->GetFramesHeld() << "\nreserved: " << reserved[0] << ' '
              << reserved[1] << ' ' << reserved[2] << ' ' << reserved[3] << '\n';
    return kExitOk;
}
}  // namespace

void AddInfoCommand(CCommandLine& commandLine)
{
    auto file = std::make_shared<std::string>();
    CLI::App& info = commandLine.AddCommand(
        "info", "Checks and loads a .kvt file as the player opens it and prints its header.",
        [file](const CommonOptions&) { return RunInfo(*file); });
    info.add_option("FILE", *file, "The stream")->required();
}
