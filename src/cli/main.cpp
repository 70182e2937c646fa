// kvt: the command-line companion of KVTPlayer, for batch work on .kvt streams.

#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace {
void PrintUsage(std::ostream& out)
{
    out << "usage: kvt COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& command : AllCommands())
        out << "  kvt " << command.name << ' ' << command.synopsis << '\n';
    out << "\n'kvt COMMAND --help' describes a command.\n";
}

void PrintCommandHelp(const Command& command, std::ostream& out)
{
    out << "usage: kvt " << command.name << ' ' << command.synopsis << "\n\n" << command.description << '\n';
}
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    for (const Command& command : AllCommands()) {
        if (words[0] != command.name)
            continue;
        std::string error;
        const auto args = ParseArguments({words.begin() + 1, words.end()}, command.valuedOptions, error);
        if (args && args->help) {
            PrintCommandHelp(command, std::cout);
            return kExitOk;
        }
        const std::size_t n = args ? args->positional.size() : 0;
        if (!args || n < command.minPositional || n > command.maxPositional) {
            std::cerr << "kvt " << command.name << ": " << (args ? "wrong number of arguments" : error)
                      << "\n";
            PrintCommandHelp(command, std::cerr);
            return kExitUsage;
        }
        return command.run(*args);
    }
    std::cerr << "kvt: unknown command '" << words[0] << "'\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}
