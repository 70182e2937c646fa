// What the build makes from the programs' help: --version, the manual pages and the bash
// completion, checked against what `kvt --help` lists now, so a new command or option is caught.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "KvtHelp.h"
#include "TempDir.h"

namespace {
std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string RoffEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

// The program run with no display to reach, as on a console.
ShellRun RunWithoutDisplay(const std::string& program, const std::string& arguments)
{
    return RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Quoted(program) + " " + arguments +
                    " 2>&1");
}

// What bash completion offers for `line` (the word being completed is its last, maybe empty).
std::vector<std::string> Completions(const std::string& line, const std::filesystem::path& folder = ".")
{
    const std::string script = "source /usr/share/bash-completion/bash_completion; source " +
                               Quoted(KVT_COMPLETION) + "; cd " + Quoted(folder.string()) +
                               "; COMP_LINE=$1; COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<<\"$COMP_LINE\"; "
                               "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=(''); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                               "_kvt; printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    std::vector<std::string> offered;
    for (const std::string& word : SplitOn(RunShell("bash -c " + Quoted(script) + " kvt " + Quoted(line)).out, '\n'))
        if (!word.empty())
            offered.push_back(word);
    return offered;
}

using Words = std::vector<std::string>;
}  // namespace

TEST(VersionTest, BothProgramsPrintTheProjectVersionWithoutADisplay)
{
    const ShellRun kvt = RunWithoutDisplay(KVT_BINARY, "--version");
    EXPECT_EQ(kvt.status, 0);
    EXPECT_EQ(kvt.out, "kvt (KVTPlayer) " KVT_VERSION "\n");

    const ShellRun player = RunWithoutDisplay(KVTPLAYER_BINARY, "--version");
    EXPECT_EQ(player.status, 0);
    EXPECT_EQ(player.out, "kvtplayer (KVTPlayer) " KVT_VERSION "\n");

    const ShellRun help = RunWithoutDisplay(KVTPLAYER_BINARY, "some.kvt --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kvtplayer [FILE]\n", 0), 0u) << help.out;
}

TEST(ManPageTest, ListsEveryCommandOfTheHelpWithItsOptions)
{
    const std::string page = ReadText(KVT_MAN_DIR "/kvt.1");
    const Words commands = KvtCommands();
    ASSERT_GE(commands.size(), 10u);
    for (const std::string& command : commands) {
        const auto start = page.find(".SS \"kvt " + command + " ");
        ASSERT_NE(start, std::string::npos) << "no section for kvt " << command;
        const std::string section = page.substr(start, page.find(".SS", start + 1) - start);
        for (const HelpOption& option : KvtOptions(command))
            for (const std::string& name : option.names)
                EXPECT_NE(section.find("\\fB" + RoffEscaped(name) + "\\fR"), std::string::npos)
                    << "kvt " << command << " " << name;
    }
    for (const char* section : {".SH \"EXIT STATUS\"", ".SH EXAMPLES", ".SH \"SEE ALSO\""})
        EXPECT_NE(page.find(section), std::string::npos) << section;
}

TEST(ManPageTest, BothPagesRenderWithoutWarnings)
{
    for (const char* page : {"kvt.1", "kvtplayer.1"}) {
        const ShellRun run = RunShell("groff -man -Tutf8 -ww -z " + Quoted(std::string(KVT_MAN_DIR "/") + page) + " 2>&1");
        EXPECT_EQ(run.status, 0) << page;
        EXPECT_EQ(run.out, "") << page;
    }
    const std::string player = ReadText(KVT_MAN_DIR "/kvtplayer.1");
    EXPECT_NE(player.find("\\-\\-version"), std::string::npos);
}

TEST(CompletionTest, OffersTheCommandsAndOptionsOfTheHelp)
{
    EXPECT_EQ(Completions("kvt "), [] {
        Words commands = KvtCommands();
        std::sort(commands.begin(), commands.end());
        return commands;
    }());
    EXPECT_EQ(Completions("kvt sha"), Words{"shadows"});
    EXPECT_EQ(Completions("kvt --v"), Words{"--version"});
    for (const std::string& command : KvtCommands())
        for (const HelpOption& option : KvtOptions(command))
            for (const std::string& name : option.names) {
                const Words offered = Completions("kvt " + command + " " + name);
                EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end()) << command << " " << name;
            }
}

TEST(CompletionTest, OffersTheChoicesOfEveryOptionThatHasThem)
{
    int withChoices = 0;
    for (const std::string& command : KvtCommands())
        for (const HelpOption& option : KvtOptions(command)) {
            if (option.choices.empty())
                continue;
            ++withChoices;
            Words choices = option.choices;
            std::sort(choices.begin(), choices.end());
            EXPECT_EQ(Completions("kvt " + command + " " + option.names.back() + " "), choices) << command;
            EXPECT_EQ(Completions("kvt " + command + " -q " + option.names.back() + "=" + choices.front()),
                      Words{choices.front()})
                << command;
        }
    EXPECT_GE(withChoices, 3);  // --fit, --dither, --page at least
    EXPECT_EQ(Completions("kvt import --dither b"), Words{"blue-noise"});
}

TEST(CompletionTest, OffersFileNamesByWhatTheCommandTakes)
{
    const TempDir dir;
    for (const char* name : {"a.kvt", "b.png", "c.raw", "d.mp4", "e.pdf"})
        std::ofstream(dir.Path() / name).put('x');
    std::filesystem::create_directory(dir.Path() / "sub");

    EXPECT_EQ(Completions("kvt info ", dir.Path()), (Words{"a.kvt", "sub"}));
    EXPECT_EQ(Completions("kvt make --width 4 ", dir.Path()), (Words{"c.raw", "sub"}));
    EXPECT_EQ(Completions("kvt import ", dir.Path()), (Words{"b.png", "d.mp4", "sub"}));
    EXPECT_EQ(Completions("kvt export a.kvt -o ", dir.Path()), (Words{"b.png", "d.mp4", "sub"}));
    EXPECT_EQ(Completions("kvt print a.kvt -o ", dir.Path()), (Words{"e.pdf", "sub"}));
    EXPECT_EQ(Completions("kvt shadows a.kvt --out-dir ", dir.Path()), (Words{"sub"}));
    EXPECT_EQ(Completions("kvt shadows a.kvt --seed ", dir.Path()), Words{});
}
