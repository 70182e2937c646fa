#pragma once
// The `kvt` commands. Each returns the exit status: 0 done, 1 failed (the program's own message is
// already on stderr), 2 usage error.

#include <set>
#include <string>
#include <vector>

#include "cli/Arguments.h"

struct Command {
    const char* name;
    const char* synopsis;     // usage line after "kvt NAME"
    const char* description;  // what --help says beyond the synopsis
    std::set<std::string> valuedOptions;
    std::size_t minPositional;
    std::size_t maxPositional;
    int (*run)(const Arguments& args);
};

// Every command, in the order `kvt --help` lists them.
const std::vector<Command>& AllCommands();

// The groups that make up the table, one per source file.
std::vector<Command> StreamCommands();
std::vector<Command> VssCommands();
std::vector<Command> MakeCommands();

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
