#include "cli/Commands.h"

void AddAllCommands(CCommandLine& commandLine)
{
    for (auto add : {AddInfoCommand, AddCopyCommand, AddShadowsCommand, AddDemoCommand, AddInterlaceCommand,
                     AddRevealCommand, AddMeasureCommand, AddMakeCommand, AddImportCommand, AddExportCommand,
                     AddPrintCommand})
        add(commandLine);
}
