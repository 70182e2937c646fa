// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <iostream>
#include <map>
#include <sstream>

#include <CLI/CLI.hpp>

#include "io/ProgramVersion.h"

// Lists each command in `kvt --help` by its summary: the whole descriptions are for the commands'
// own help.
class CSummaryFormatter : public CLI::Formatter {
public:
    std::map<std::string, std::string, std::less<>> summaries;

    std::string make_subcommand(const CLI::App* command) const override
    {
        const auto found = summaries.find(command->get_name());
        if (found == summaries.end())
            return Formatter::make_subcommand(command);
        std::ostringstream out;
        CLI::detail::format_help(out, command->get_name(), found->second, get_column_width());
        return out.str();
    }
};

namespace {
// The command that was being parsed when the words ran out or went wrong: the last one named.
const CLI::App& CommandParsed(const CLI::App& app)
{
    const auto named = app.get_subcommands();
    return named.empty() ? app : *named.back();
}

std::string FullName(const CLI::App& app)
{
    return app.get_parent() == nullptr ? app.get_name() : "kvt " + app.get_name();
}

// CLI11 words a first word that names no command as a missing command; say what it is instead.
std::string Describe(const CLI::App& command, const CLI::ParseError& error)
{
    const auto rest = command.remaining();
    if (command.get_parent() == nullptr && !rest.empty() && dynamic_cast<const CLI::RequiredError*>(&error))
        return "unknown command '" + rest.front() + "'";
    return error.what();
}
}  // namespace

COptionCheck::COptionCheck(std::function<std::string(std::string& value)> test)
    : m_validator(std::make_shared<const CLI::Validator>(std::move(test), ""))
{
}

COptionCheck::COptionCheck(std::shared_ptr<const CLI::Validator> validator) : m_validator(std::move(validator)) {}

COptionCheck COptionCheck::OneOf(std::vector<std::string> choices)
{
    return COptionCheck(std::make_shared<const CLI::Validator>(CLI::IsMember(std::move(choices))));
}

COptionCheck COptionCheck::OneOfNumbers(std::vector<int> choices)
{
    return COptionCheck(std::make_shared<const CLI::Validator>(CLI::IsMember(std::move(choices))));
}

COption& COption::Required()
{
    m_option->required();
    return *this;
}

COption& COption::TypeName(const std::string& name)
{
    m_option->type_name(name);
    return *this;
}

COption& COption::OptionText(const std::string& text)
{
    m_option->option_text(text);
    return *this;
}

COption& COption::Check(const COptionCheck& check)
{
    m_option->check(check.GetValidator());
    return *this;
}

COption& COption::Expected(int least, int most)
{
    m_option->expected(least, most);
    return *this;
}

COption& COption::AllowExtraArgs(bool allow)
{
    m_option->allow_extra_args(allow);
    return *this;
}

COption& COption::Excludes(const COption& other)
{
    m_option->excludes(other.m_option);
    return *this;
}

bool COption::WasGiven() const
{
    return m_option->count() > 0;
}

std::string COption::GetName() const
{
    return m_option->get_name();
}

template <typename T>
COption CCommand::AddOption(const std::string& name, T& value, const std::string& help)
{
    return COption(*m_app->add_option(name, value, help));
}

template COption CCommand::AddOption(const std::string&, std::string&, const std::string&);
template COption CCommand::AddOption(const std::string&, int&, const std::string&);
template COption CCommand::AddOption(const std::string&, double&, const std::string&);
template COption CCommand::AddOption(const std::string&, std::optional<std::string>&, const std::string&);
template COption CCommand::AddOption(const std::string&, std::optional<int>&, const std::string&);
template COption CCommand::AddOption(const std::string&, std::optional<double>&, const std::string&);
template COption CCommand::AddOption(const std::string&, std::vector<std::string>&, const std::string&);

template <typename T>
COption CCommand::AddFlag(const std::string& name, T& value, const std::string& help)
{
    return COption(*m_app->add_flag(name, value, help));
}

template COption CCommand::AddFlag(const std::string&, bool&, const std::string&);
template COption CCommand::AddFlag(const std::string&, std::optional<std::string>&, const std::string&);

CCommandLine::CCommandLine()
    : m_formatter(std::make_shared<CSummaryFormatter>()),
      m_app(std::make_unique<CLI::App>("kvt: the command-line companion of KVTPlayer, for batch work on .kvt streams.",
                                       "kvt"))
{
    m_app->require_subcommand(1);
    m_app->set_version_flag("--version", VersionText("kvt"), "Print the version and the licence and exit");
    m_app->footer("'kvt COMMAND --help' for a command's options and details");
    // Names and value words say what to give; CLI11's type words would only repeat "text".
    m_formatter->label("REQUIRED", "");
    m_formatter->label("TEXT", "");
    m_formatter->column_width(24);
    m_app->formatter(m_formatter);
}

CCommandLine::~CCommandLine() = default;

CCommand CCommandLine::AddCommand(const std::string& name, const std::string& description, CommandRun run)
{
    CLI::App& command = *m_app->add_subcommand(name, description);
    command.footer("");
    command.add_flag("--quiet,-q", m_common.quiet, "Show no progress line");
    command.callback([this, run = std::move(run)] { m_chosen = run; });
    return CCommand(command);
}

void CCommandLine::ListCommand(const std::string& name)
{
    m_app->add_subcommand(name);
}

void CCommandLine::Summarize(const std::string& name, const std::string& summary)
{
    m_formatter->summaries.insert_or_assign(name, summary);
}

int CCommandLine::Run(int argc, char** argv)
{
    try {
        m_app->parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << m_app->help();
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what();
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        const CLI::App& command = CommandParsed(*m_app);
        std::cerr << FullName(command) << ": " << Describe(command, error) << '\n' << m_app->help();
        return kExitUsage;
    }
    return m_chosen(m_common);
}
