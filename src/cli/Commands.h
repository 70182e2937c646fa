#pragma once
// The `kvt` commands. Each command adds itself to the command line in its own file; a new command
// is one more registration function here and one more entry in AddAllCommands.

#include "cli/CommandLine.h"

// Every command, in the order `kvt --help` lists them.
void AddAllCommands(CCommandLine& commandLine);

void AddInfoCommand(CCommandLine& commandLine);
void AddCopyCommand(CCommandLine& commandLine);
void AddShadowsCommand(CCommandLine& commandLine);
void AddDemoCommand(CCommandLine& commandLine);
void AddInterlaceCommand(CCommandLine& commandLine);
void AddRevealCommand(CCommandLine& commandLine);
void AddMakeCommand(CCommandLine& commandLine);
void AddImportCommand(CCommandLine& commandLine);
void AddExportCommand(CCommandLine& commandLine);
void AddPrintCommand(CCommandLine& commandLine);
void AddMeasureCommand(CCommandLine& commandLine);
