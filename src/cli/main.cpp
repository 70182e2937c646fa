// SPDX-License-Identifier: GPL-3.0-or-later
// kvt: the command-line companion of KVTPlayer, for batch work on .kvt streams. The media
// commands run in kvt-media, so that the others load neither Qt nor FFmpeg.

#include "cli/Commands.h"
#include "cli/MediaCommands.h"
#include "cli/MediaTool.h"

namespace {
void AddKvtCommands(CCommandLine& commandLine)
{
    AddStreamCommands(commandLine);
    for (const MediaCommand& command : kMediaCommands)
        commandLine.ListCommand(command.name);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && IsMediaCommand(argv[1]))
        return RunMediaTool(argv);
    return RunCommands(argc, argv, AddKvtCommands);
}
