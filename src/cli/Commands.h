// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `kvt` commands. Each command adds itself to the command line in its own file; a new command
// is one more registration function here, one more entry in AddStreamCommands (or AddMediaCommands)
// and its one-line summary in CommandTable.cpp.

#include "cli/CommandLine.h"

// The commands kvt runs itself, in the order `kvt --help` lists them; the media commands follow
// (MediaCommands.h).
void AddStreamCommands(CCommandLine& commandLine);
// The commands of kvt-media.
void AddMediaCommands(CCommandLine& commandLine);

// Runs the command that argv names among those `addCommands` adds; returns the exit status.
int RunCommands(int argc, char** argv, void (*addCommands)(CCommandLine&));

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
