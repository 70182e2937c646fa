// SPDX-License-Identifier: GPL-3.0-or-later
// kvt info: the header of a stream, checked as the player checks it on opening.

#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "stream/StreamFiles.h"
#include "stream/StreamFileReader.h"

namespace {
int RunInfo(const std::string& file)
{
    // The open refuses what a load of one frame would refuse; the frames themselves are not read,
    // since nothing printed depends on them.
    CStreamFileReader reader;
    if (!OpenInput(reader, file, 1, InputUse::header))
        return kExitFailed;
    const KvtHeader& header = reader.GetHeader();
    std::cout << "width: " << header.width << "\nheight: " << header.height
              << "\nframe size: " << header.frameSize << "\nframe count: " << header.frameCount
              << "\nframes: " << header.frameCount << "\nreserved: " << header.reserved1 << ' '
              << header.reserved2 << ' ' << header.reserved3 << ' ' << header.reserved4 << '\n';
    return kExitOk;
}
}  // namespace

void AddInfoCommand(CCommandLine& commandLine)
{
    auto file = std::make_shared<std::string>();
    CCommand info = commandLine.AddCommand(
        "info", "Checks a .kvt file as the player opens it and prints its header.",
        [file](const CommonOptions&) { return RunInfo(*file); });
    info.AddOption("FILE", *file, "The stream").Required();
}
