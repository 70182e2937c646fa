#include "cli/Commands.h"

const std::vector<Command>& AllCommands()
{
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (auto group : {StreamCommands, VssCommands, MakeCommands})
            for (Command& command : group())
                all.push_back(std::move(command));
        return all;
    }();
    return commands;
}
