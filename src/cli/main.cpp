// kvt: the command-line companion of KVTPlayer, for batch work on .kvt streams.

#include <csignal>
#include <new>

#include "cli/Commands.h"
#include "io/Message.h"

int main(int argc, char** argv)
{
    // A file growing past the file-size limit fails its write, and the command says so, rather
    // than the signal ending kvt without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        CCommandLine commandLine;
        AddAllCommands(commandLine);
        return commandLine.Run(argc, argv);
    } catch (const std::bad_alloc&) {
        ShowMessage("kvt: not enough memory");
        return kExitFailed;
    }
}
