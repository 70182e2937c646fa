// kvt: the command-line companion of KVTPlayer, for batch work on .kvt streams.

#include "cli/Commands.h"

int main(int argc, char** argv)
{
    CCommandLine commandLine;
    AddAllCommands(commandLine);
    return commandLine.Run(argc, argv);
}
