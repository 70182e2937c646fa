// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

void AddMediaCommands(CCommandLine& commandLine)
{
    for (auto add : {AddImportCommand, AddExportCommand, AddPrintCommand})
        add(commandLine);
}
