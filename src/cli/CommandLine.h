// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `kvt` command line: one subcommand per command, each with its own options, plus the options
// every command shares. Parses the words, prints help and usage errors, and runs the one command
// named. CLI11 does the parsing behind these few classes, in one source file: it is header-only
// and costs seconds to compile in every file that includes it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
class Validator;
}  // namespace CLI
class CSummaryFormatter;

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the program's own message is already on stderr
inline constexpr int kExitUsage = 2;

// Options that every command takes.
struct CommonOptions {
    bool quiet = false;  // no progress line
};

// A test of an option's value.
class COptionCheck {
public:
    // `test` returns what is wrong with the value, or an empty text when it passes.
    explicit COptionCheck(std::function<std::string(std::string& value)> test);
    // One of `choices`, which the help lists as {a,b,...}.
    static COptionCheck OneOf(std::vector<std::string> choices);
    static COptionCheck OneOfNumbers(std::vector<int> choices);

    const CLI::Validator& GetValidator() const { return *m_validator; }

private:
    explicit COptionCheck(std::shared_ptr<const CLI::Validator> validator);
    std::shared_ptr<const CLI::Validator> m_validator;
};

// An option or positional of a command, being declared.
class COption {
public:
    explicit COption(CLI::Option& option) : m_option(&option) {}
    COption& Required();
    // The value's word in the help, as in "--scale N"; OptionText replaces the whole of it.
    COption& TypeName(const std::string& name);
    COption& OptionText(const std::string& text);
    COption& Check(const COptionCheck& check);
    // How many values a list takes.
    COption& Expected(int least, int most);
    // False: the option takes one value each time it is given, the words after it being positionals.
    COption& AllowExtraArgs(bool allow);
    COption& Excludes(const COption& other);

    // After parsing: the option was on the command line.
    bool WasGiven() const;
    std::string GetName() const;

private:
    CLI::Option* m_option;
};

// A command's options and positionals, each bound to a variable that the command's run reads.
class CCommand {
public:
    explicit CCommand(CLI::App& app) : m_app(&app) {}
    // For values of type std::string, int, double, a std::optional of one of them, or
    // std::vector<std::string> (the types the command line's source instantiates).
    template <typename T>
    COption AddOption(const std::string& name, T& value, const std::string& help);
    // For a bool, or a std::optional<std::string> that a bare flag sets to "true" and --flag=VALUE
    // to VALUE.
    template <typename T>
    COption AddFlag(const std::string& name, T& value, const std::string& help);

private:
    CLI::App* m_app;
};

// Runs a command whose words parsed; returns its exit status.
using CommandRun = std::function<int(const CommonOptions& common)>;

class CCommandLine {
public:
    CCommandLine();
    ~CCommandLine();
    CCommandLine(const CCommandLine&) = delete;
    CCommandLine& operator=(const CCommandLine&) = delete;

    // Adds `kvt NAME`; the caller declares its options and positionals on the returned command
    // and binds them to variables that `run` reads.
    CCommand AddCommand(const std::string& name, const std::string& description, CommandRun run);

    // Lists `kvt NAME` in the help of the command line; another program runs it.
    void ListCommand(const std::string& name);

    // What `kvt --help` says of command `name`, in a few words on one line; its own help keeps the
    // whole description.
    void Summarize(const std::string& name, const std::string& summary);

    // Parses argv and runs the command named. `kvt --help` and `kvt COMMAND --help` print help on
    // stdout (status 0); usage errors print the error and the help on stderr (status 2).
    int Run(int argc, char** argv);

private:
    std::shared_ptr<CSummaryFormatter> m_formatter;
    std::unique_ptr<CLI::App> m_app;
    CommonOptions m_common;
    CommandRun m_chosen;
};
