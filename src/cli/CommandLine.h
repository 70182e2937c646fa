#pragma once
// The `kvt` command line: one CLI11 subcommand per command, each with its own options, plus the
// options every command shares. Parses the words, prints help and usage errors, and runs the one
// command named.

#include <functional>
#include <string>

#include <CLI/App.hpp>

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the program's own message is already on stderr
inline constexpr int kExitUsage = 2;

// Options that every command takes.
struct CommonOptions {
    bool quiet = false;  // no progress line
};

// Runs a command whose words parsed; returns its exit status.
using CommandRun = std::function<int(const CommonOptions& common)>;

class CCommandLine {
public:
    CCommandLine();
    CCommandLine(const CCommandLine&) = delete;
    CCommandLine& operator=(const CCommandLine&) = delete;

    // Adds `kvt NAME`; the caller declares its options and positionals on the returned app and
    // binds them to variables that `run` reads.
    CLI::App& AddCommand(const std::string& name, const std::string& description, CommandRun run);

    // Lists `kvt NAME` in the help of the command line; another program runs it.
    void ListCommand(const std::string& name, const std::string& description);

    // Parses argv and runs the command named. `kvt --help` and `kvt COMMAND --help` print help on
    // stdout (status 0); usage errors print the error and the help on stderr (status 2).
    int Run(int argc, char** argv);

private:
    CLI::App m_app;
    CommonOptions m_common;
    CommandRun m_chosen;
};
