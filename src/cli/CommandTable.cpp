// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include <csignal>
#include <new>

#include "io/Message.h"

namespace {
struct CommandSummary {
    const char* name;
    const char* summary;
};

// What `kvt --help` says of each command: a line each, so that the list fits on a screen.
constexpr CommandSummary kCommandSummaries[] = {
    {"info", "Check a stream as the player opens it and print its header"},
    {"copy", "Read a stream and save it again, as the player does"},
    {"shadows", "Split a secret stream into shares, any K of which show it"},
    {"demo", "Write demo.kvt, the built-in secret motion picture"},
    {"interlace", "Interlace shadows in time, frame by frame"},
    {"reveal", "Lay shares exactly on each other (or XOR them)"},
    {"measure", "Measure how well shares reveal a secret and how well each hides it"},
    {"make", "Make a stream from raw greyscale images"},
    {"import", "Make a black-and-white stream from pictures or a video"},
    {"export", "Write a stream's frames as pictures, a GIF or a video"},
    {"print", "Print a stream's frames at physical scale into a PDF, for transparencies"},
};
}  // namespace

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
    // The player's messages come with the file and the reason here.
    SetMessageDetailShown(true);
    try {
        CCommandLine commandLine;
        addCommands(commandLine);
        for (const CommandSummary& command : kCommandSummaries)
            commandLine.Summarize(command.name, command.summary);
        return commandLine.Run(argc, argv);
    } catch (const std::bad_alloc&) {
        ShowMessage("kvt: not enough memory");
        return kExitFailed;
    }
}
