#include "cli/Commands.h"

void AddMediaCommands(CCommandLine& commandLine)
{
    for (auto add : {AddImportCommand, AddExportCommand, AddPrintCommand})
        add(commandLine);
}
