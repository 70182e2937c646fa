// SPDX-License-Identifier: GPL-3.0-or-later
// kvt make, run as a user runs it.

#include <gtest/gtest.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace {
class MakeCommand : public testing::Test {
protected:
    std::string Raw(const std::string& name, std::vector<unsigned char> bytes)
    {
        WriteBytes(dir / name, bytes);
        return (dir / name).string();
    }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;
};
}  // namespace

TEST_F(MakeCommand, WritesOneFramePerRawFileInTheOrderGiven)
{
    const std::string a = Raw("a.raw", {1, 2, 3, 4, 5, 6});
    const std::string b = Raw("b.raw", {7, 8, 9, 10, 11, 12});
    const KvtRun run = Kvt({"make", "--width", "3", "--height", "2", "-o", At("out.kvt"), b, a});
    ASSERT_EQ(run.status, 0) << run.err;
    auto expected = HeaderBytes(3, 2, 2, 6);
    expected.insert(expected.end(), {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), expected);

    const KvtRun info = Kvt({"info", At("out.kvt")});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("frame count: 2\n"), std::string::npos) << info.out;
}

TEST_F(MakeCommand, RefusesWhatTheWizardRefusesWithItsMessages)
{
    const std::string six = Raw("six.raw", std::vector<unsigned char>(6));
    const std::string seven = Raw("seven.raw", std::vector<unsigned char>(7));
    WriteBytes(dir / "out.kvt", {'o', 'l', 'd'});
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"--width", "1", "--height", "x", "-o", At("out.kvt"), six}, 2, "kvt make: --height: \"x\" is not a whole number from 2 to 1000\n"},
        {{"--width", "1", "--height", "2", "-o", At("out.kvt"), six}, 2,
         "kvt make: --width: \"1\" is not a whole number from 2 to 1000\n"},
        {{"--width", "3", "--height", "2", "-o", At("out.kvt"), six, seven}, 1,
         "kvt make: " + seven + ": Image Size not correct: it holds 7 bytes, where a 3 x 2 frame holds 6\n"},
        {{"--width", "3", "--height", "2", "-o", At("out.kvt"), At("none.raw")}, 1,
         "kvt make: " + At("none.raw") + ": Open File Error: No such file or directory\n"},
        {{"--width", "3", "--height", "2", six}, 2, "kvt make: -o is required\n"},
    };
    for (Case& c : cases) {
        c.args.insert(c.args.begin(), "make");
        const KvtRun run = Kvt(c.args);
        EXPECT_EQ(run.status, c.status) << c.err;
        // The message; a usage error that the parser finds goes on with the command's help.
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), c.err);
        EXPECT_EQ(ReadBytes(dir / "out.kvt"), (std::vector<unsigned char>{'o', 'l', 'd'}));
    }
}
