// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <csignal>
#include <new>

#include "io/Message.h"

void AddStreamCommands(CCommandLine& commandLine)
{
    for (auto add : {AddInfoCommand, AddCopyCommand, AddShadowsCommand, AddDemoCommand, AddInterlaceCommand,
                     AddRevealCommand, AddMeasureCommand, AddMakeCommand})
        add(commandLine);
}

int RunCommands(int argc, char** argv, void (*addCommands)(CCommandLine&))
{
    // A file growing past the file-size limit fails its write, and the command says so, rather
    // than the signal ending kvt without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        CCommandLine commandLine;
        addCommands(commandLine);
        return commandLine.Run(argc, argv);
    } catch (const std::bad_alloc&) {
        ShowMessage("kvt: not enough memory");
        return kExitFailed;
    }
}
