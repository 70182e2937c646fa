// SPDX-License-Identifier: GPL-3.0-or-later
// What the build makes from the programs' help: --version, the manual pages and the bash
// completion, checked against what `kvt --help` lists now, so that a new command or option is caught.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "Shell.h"
#include "TempDir.h"

namespace {
using Words = std::vector<std::string>;

// The first lines of the entries under `title` ("Subcommands:", "Options:") in a help text.
Words HelpSection(const std::string& help, const std::string& title)
{
    Words entries;
    bool inside = false;
    for (const std::string& line : SplitOn(help, '\n')) {
        if (!line.empty() && line[0] != ' ')
            inside = line == title;
        else if (inside && line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ')
            entries.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return entries;
}

Words KvtCommands()
{
    Words commands = HelpSection(RunShell(KVT_BINARY " --help").out, "Subcommands:");
    std::sort(commands.begin(), commands.end());
    return commands;
}

// Each option of a command as its names ("-q,--quiet") and the value's choices ("{a,b}" or "").
std::vector<std::pair<Words, std::string>> KvtOptions(const std::string& command)
{
    std::vector<std::pair<Words, std::string>> options;
    const std::string help = RunShell(KVT_BINARY " " + command + " --help").out;
    for (const std::string& line : SplitOn(help, '\n')) {
        const auto open = line.find(":{");
        if (line.rfind("  -", 0) == 0)
            options.emplace_back(SplitOn(line.substr(2, line.find(' ', 2) - 2), ','),
                                 open == std::string::npos ? "" : line.substr(open + 2, line.find('}', open) - open - 2));
    }
    return options;
}

// What bash completion offers, sorted, for `line` (the word being completed is its last, maybe empty).
Words Completions(const std::string& line, const std::string& folder = ".")
{
    const std::string script = "source /usr/share/bash-completion/bash_completion; source " KVT_COMPLETION "; cd " +
                               Quoted(folder) + "; COMP_LINE=$1; COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<<$1; "
                               "[[ $1 == *' ' ]] && COMP_WORDS+=(''); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _kvt; "
                               "printf '%s\\n' \"${COMPREPLY[@]}\" | sort | grep .";
    return SplitOn(RunShell("bash -c " + Quoted(script) + " kvt " + Quoted(line)).out, '\n');
}

// An option's name as the manual page writes it: "\\-\\-fit".
std::string RoffOption(const std::string& name)
{
    std::string roff;
    for (const char c : name)
        roff += c == '-' ? std::string("\\-") : std::string(1, c);
    return roff;
}

ShellRun RunWithoutDisplay(const std::string& command)
{
    return RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " 2>&1");
}
}  // namespace

TEST(HelpTest, BothProgramsPrintTheProjectVersionAndLicenceAndThePlayerItsHelpWithoutADisplay)
{
    for (const std::string program : {"kvt", "kvtplayer"}) {
        const std::string version =
            RunWithoutDisplay((program == "kvt" ? KVT_BINARY : KVTPLAYER_BINARY) + std::string(" --version")).out;
        EXPECT_EQ(version.rfind(program + " (KVTPlayer) " KVT_VERSION "\nCopyright (C) ", 0), 0u) << version;
        EXPECT_NE(version.find("\nLicense GPLv3+: GNU GPL version 3 or later"), std::string::npos) << version;
    }
    const ShellRun help = RunWithoutDisplay(KVTPLAYER_BINARY " some.kvt --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kvtplayer [FILE]\n", 0), 0u) << help.out;
}

TEST(HelpTest, TheCommandLinesHelpFitsOnAScreenListingEveryCommandOnALine)
{
    const std::string help = RunShell(KVT_BINARY " --help").out;
    const Words lines = SplitOn(help, '\n');
    EXPECT_LE(lines.size(), 30u) << help;
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 100u) << line;
    // A summary longer than a line would go on under the names' column.
    EXPECT_EQ(help.find("\n                        "), std::string::npos) << help;
    EXPECT_GE(KvtCommands().size(), 11u);
    for (const std::string& command : KvtCommands())
        EXPECT_EQ(RunShell(KVT_BINARY " " + command + " --help").status, 0) << command;
    EXPECT_TRUE(help.ends_with("\n'kvt COMMAND --help' for a command's options and details\n")) << help;
}

TEST(HelpTest, ManPageHasEveryCommandOfTheHelpWithItsOptionsAndBothPagesRenderCleanly)
{
    std::ifstream in(KVT_MAN_DIR "/kvt.1");
    const std::string page{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(KvtCommands().size(), 10u);
    for (const std::string& command : KvtCommands()) {
        const auto start = page.find(".SS \"kvt " + command + " ");
        ASSERT_NE(start, std::string::npos) << "no section for kvt " << command;
        const std::string section = page.substr(start, page.find(".SS", start + 1) - start);
        for (const auto& [names, choices] : KvtOptions(command))
            for (const std::string& name : names)
                EXPECT_NE(section.find("\\fB" + RoffOption(name) + "\\fR"), std::string::npos) << command << " " << name;
    }
    for (const char* heading : {".SH \"EXIT STATUS\"", ".SH EXAMPLES", ".SH \"SEE ALSO\""})
        EXPECT_NE(page.find(heading), std::string::npos) << heading;
    for (const char* name : {"kvt.1", "kvtplayer.1", "kvtstudio.1"})
        EXPECT_EQ(RunShell("groff -man -Tutf8 -ww -z " KVT_MAN_DIR "/" + std::string(name) + " 2>&1; echo $?").out, "0\n");
}

TEST(HelpTest, CompletionOffersTheCommandsOptionsAndChoicesOfTheHelp)
{
    EXPECT_EQ(Completions("kvt "), KvtCommands());
    EXPECT_EQ(Completions("kvt sha"), Words{"shadows"});
    EXPECT_EQ(Completions("kvt --v"), Words{"--version"});
    int withChoices = 0;
    for (const std::string& command : KvtCommands())
        for (const auto& [names, choices] : KvtOptions(command)) {
            for (const std::string& name : names) {
                const Words offered = Completions("kvt " + command + " " + name);
                EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end()) << command << " " << name;
            }
            if (choices.empty())
                continue;
            ++withChoices;
            Words expected = SplitOn(choices, ',');
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Completions("kvt " + command + " " + names.back() + " "), expected) << command;
            EXPECT_EQ(Completions("kvt " + command + " -q " + names.back() + "=" + expected[0]), Words{expected[0]});
        }
    EXPECT_GE(withChoices, 3);  // --fit, --dither, --page at least
}

TEST(HelpTest, CompletionOffersFileNamesByWhatTheCommandTakes)
{
    const TempDir dir;
    for (const char* name : {"a.kvt", "b.png", "c.raw", "d.mp4", "e.pdf"})
        std::ofstream(dir / name).put('x');
    std::filesystem::create_directory(dir / "sub");
    const std::string folder = dir.Path().string();
    EXPECT_EQ(Completions("kvt info ", folder), (Words{"a.kvt", "sub"}));
    EXPECT_EQ(Completions("kvt make --width 4 ", folder), (Words{"c.raw", "sub"}));
    EXPECT_EQ(Completions("kvt import ", folder), (Words{"b.png", "d.mp4", "sub"}));
    EXPECT_EQ(Completions("kvt print a.kvt -o ", folder), (Words{"e.pdf", "sub"}));
    EXPECT_EQ(Completions("kvt shadows a.kvt --out-dir ", folder), Words{"sub"});
    EXPECT_EQ(Completions("kvt shadows a.kvt --seed ", folder), Words{});
}
