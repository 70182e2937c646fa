// SPDX-License-Identifier: GPL-3.0-or-later
// What every command checks of the files it writes: never an input, never another user's file in a
// shared folder, never a stream that can't be opened again.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {
class OutputSafety : public testing::Test {
protected:
    KvtRun Kvt(const std::vector<std::string>& args) { return RunKvt(args, m_err / "stderr.txt"); }
    std::string At(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;

private:
    TempDir m_err;
};

Bytes Stripes(int width, int height, int frames)
{
    Bytes pixels(static_cast<std::size_t>(width) * height * frames);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 3 == 0 ? 0 : 255;
    return KvtFile(width, height, pixels);
}
}  // namespace

TEST_F(OutputSafety, AnOutputThatIsAnInputIsRefusedByEveryCommand)
{
    const Bytes stream = Stripes(4, 4, 2);
    for (const char* name : {"a.kvt", "b.kvt", "r.raw", "a.pdf", "x.gif"})
        WriteBytes(dir / name, stream);
    fs::create_hard_link(dir / "b.kvt", dir / "b-too.kvt");
    const std::vector<std::vector<std::string>> runs = {
        {"reveal", At("a.kvt"), At("b.kvt"), "-o", At("b-too.kvt")},
        {"interlace", "--mode", "1", At("a.kvt"), At("b.kvt"), "-o", At("a.kvt")},
        {"interlace", "--mode", "2", At("a.kvt"), At("b.kvt"), "--secret", At("r.raw"), "-o", At("r.raw")},
        {"make", "--width", "4", "--height", "4", "-o", At("r.raw"), At("r.raw")},
        {"copy", At("a.kvt"), dir.Path().string() + "/./a.kvt"},
        {"measure", "--secret", At("a.kvt"), At("b.kvt"), At("a.kvt"), "--csv", At("b.kvt")},
        {"import", At("a.kvt"), "-o", At("a.kvt")},
        {"print", At("a.pdf"), "-o", At("a.pdf"), "--dpi", "100"},
        {"export", At("x.gif"), "-o", At("x.gif")},
        {"shadows", At("a.kvt"), "--key", At("a-Shadow2.kvt")},
    };
    WriteBytes(dir / "a-Shadow2.kvt", Stripes(8, 8, 2));
    for (const auto& args : runs) {
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, args[0] == "shadows" ? 1 : 2) << args[0] << ": " << run.err;
        EXPECT_NE(run.err.find(": the file to write is also an input"), std::string::npos) << args[0] << ": " << run.err;
    }
    for (const char* name : {"a.kvt", "b.kvt", "r.raw", "a.pdf", "x.gif"})
        EXPECT_EQ(ReadBytes(dir / name), stream) << name;
    // A picture set whose names take in the input.
    fs::rename(dir / "a.kvt", dir / "f-1.png");
    const KvtRun run = Kvt({"export", At("f-1.png"), "-o", At("f-%d.png")});
    EXPECT_EQ(run.err, "kvt export: " + At("f-1.png") +
                           ": the file to write is also an input, which writing it would lose: name another file\n");
    EXPECT_EQ(ReadBytes(dir / "f-1.png"), stream);
}

TEST_F(OutputSafety, PrintWritesOnlyAPdfAndImportOnlyAStream)
{
    WriteBytes(dir / "s.kvt", Stripes(4, 4, 1));
    KvtRun run = Kvt({"print", At("s.kvt"), "-o", At("s2.kvt"), "--dpi", "100"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kvt print: " + At("s2.kvt") + ": the name must end in .pdf\n");
    run = Kvt({"import", At("g.png"), "-o", At("g2.png")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kvt import: " + At("g2.png") + ": the name must end in .kvt\n");
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"s.kvt"});
}

TEST_F(OutputSafety, SharesTooLargeToOpenAreRefusedNamingTheLimit)
{
    WriteBytes(dir / "wide.kvt", Stripes(65536, 1, 1));
    WriteBytes(dir / "long.kvt", Stripes(11000, 1, 1));
    fs::create_directory(dir / "out");
    KvtRun run = Kvt({"shadows", At("wide.kvt"), "--out-dir", At("out"), "-q"});
    EXPECT_EQ(run.status, 1);
    const std::string refusal = "Create VSS shadows error: the shares would be ";
    EXPECT_EQ(run.err, refusal + "131072 pixels wide, more than the 65536 a stream may be\n");
    run = Kvt({"shadows", At("long.kvt"), "-k", "4", "-n", "6", "--out-dir", At("out"), "-q"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("pixels wide, more than the 65536 a stream may be\n"), std::string::npos) << run.err;
    // Shares of this secret would not fit in memory either: the limit, which no memory cures, comes first.
    WriteBytes(dir / "vast.kvt", HeaderBytes(60000, 60000, 1, 60000u * 60000u));
    fs::resize_file(dir / "vast.kvt", 24 + 60000ull * 60000ull);  // sparse: takes no room
    run = Kvt({"shadows", At("vast.kvt"), "--out-dir", At("out"), "-q"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, refusal + "120000 pixels wide, more than the 65536 a stream may be\n");
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(OutputSafety, AnotherUsersFilesInASharedFolderGetNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a second user: only root can give a file to someone else";
    WriteBytes(dir / "secret.kvt", Stripes(4, 4, 1));
    const fs::path shared = dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);  // as /tmp is
    // Another user's empty files, writable by all, wait at the names kvt writes.
    for (const char* name : {"secret-Shadow1.kvt", "secret-Shadow2.kvt", "figures.csv"}) {
        WriteBytes(shared / name, {});
        ASSERT_EQ(::chown((shared / name).c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod((shared / name).c_str(), 0666), 0);
    }
    const std::string why = ": a file of another user in a shared folder, not replaced\n";
    KvtRun run = Kvt({"shadows", At("secret.kvt"), "--out-dir", shared.string(), "-q"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File save error: " + (shared / "secret-Shadow1.kvt").string() + why);
    WriteBytes(dir / "s1.kvt", Stripes(8, 8, 1));
    run = Kvt({"measure", "--secret", At("secret.kvt"), At("s1.kvt"), At("s1.kvt"), "--csv",
               (shared / "figures.csv").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find((shared / "figures.csv").string() + ": a file of another user in a shared folder"),
              std::string::npos)
        << run.err;
    for (const auto& entry : fs::directory_iterator(shared))
        EXPECT_EQ(fs::file_size(entry.path()), 0u) << entry.path();
}

TEST_F(OutputSafety, SharesWaitForAnotherRunWritingIntoTheirFolder)
{
    WriteBytes(dir / "secret.kvt", Stripes(4, 4, 1));
    const int folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);  // another run, at work in the folder
    const std::string command = std::string(KVT_BINARY) + " shadows '" + At("secret.kvt") + "' -q 2>&1";
    FILE* kvt = ::popen(command.c_str(), "r");
    ASSERT_NE(kvt, nullptr);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, kvt), nullptr);
    EXPECT_EQ(std::string(line),
              dir.Path().string() + ": another run is writing files into this folder; waiting for it to finish\n");
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"secret.kvt"});
    ::close(folder);
    while (std::fgets(line, sizeof line, kvt) != nullptr) {
    }
    EXPECT_EQ(::pclose(kvt), 0);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"secret-Shadow1.kvt", "secret-Shadow2.kvt", "secret.kvt"}));
}
