#pragma once
// What `kvt --help` and `kvt COMMAND --help` list, read the way a user reads them: the commands,
// and each command's options with the choices a value may take.

#include <map>
#include <string>
#include <vector>

#include "Shell.h"

struct HelpOption {
    std::vector<std::string> names;    // "-o", or "-q" and "--quiet"
    std::vector<std::string> choices;  // from ":{a,b,c}" after the value's name
};

// The entries of one section ("Subcommands:", "Options:") of a help text, each its first line.
inline std::vector<std::string> HelpSection(const std::string& help, const std::string& title)
{
    std::vector<std::string> entries;
    bool inside = false;
    for (const std::string& line : SplitOn(help, '\n')) {
        if (!line.empty() && line[0] != ' ')
            inside = line == title;
        else if (inside && line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ')
            entries.push_back(line.substr(2));
    }
    return entries;
}

inline std::vector<std::string> KvtCommands()
{
    std::vector<std::string> commands;
    for (const std::string& entry : HelpSection(RunShell(Quoted(KVT_BINARY) + " --help").out, "Subcommands:"))
        commands.push_back(entry.substr(0, entry.find(' ')));
    return commands;
}

inline std::vector<HelpOption> KvtOptions(const std::string& command)
{
    std::vector<HelpOption> options;
    const std::string help = RunShell(Quoted(KVT_BINARY) + " " + command + " --help").out;
    for (const std::string& entry : HelpSection(help, "Options:")) {
        HelpOption option;
        option.names = SplitOn(entry.substr(0, entry.find(' ')), ',');
        const auto open = entry.find(":{");
        if (open != std::string::npos && entry.find(' ') < open)
            option.choices = SplitOn(entry.substr(open + 2, entry.find('}', open) - open - 2), ',');
        options.push_back(option);
    }
    return options;
}
