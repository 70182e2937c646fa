// SPDX-License-Identifier: GPL-3.0-or-later
// kvt against hostile folders, full disks and lying headers: every save refused or failed says
// which file and why, and leaves what was there.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "io/FileSet.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {
class HostileFiles : public testing::Test {
protected:
    std::string At(const std::string& name) const { return (dir / name).string(); }
    KvtRun Kvt(const std::vector<std::string>& args) { return RunKvt(args, m_err.Path() / "stderr.txt"); }

    // kvt under a file-size limit of `bytes`.
    KvtRun KvtUnderFileSizeLimit(int bytes, const std::vector<std::string>& args)
    {
        std::string command = "prlimit --fsize=" + std::to_string(bytes) + ":unlimited " KVT_BINARY;
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        return RunShell(command);
    }

    // The peak memory of kvt run with `args`, in kilobytes; what it prints goes to out.txt.
    long PeakKilobytes(std::vector<std::string> args) const
    {
        args.insert(args.begin(), KVT_BINARY);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string out = At("out.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        struct rusage usage {};
        EXPECT_TRUE(spawned == 0 && ::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0);
        return usage.ru_maxrss;
    }

    std::vector<std::string> Names() const { return dir.FileNames(); }

    TempDir dir;

private:
    KvtRun RunShell(const std::string& command)
    {
        const fs::path errFile = m_err.Path() / "stderr.txt";
        KvtRun run;
        const int raw = std::system(("( " + command + " ) >/dev/null 2>'" + errFile.string() + "'").c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        const Bytes err = ReadBytes(errFile);
        run.err.assign(err.begin(), err.end());
        return run;
    }

    TempDir m_err;  // kvt's stderr, apart from the folders the tests list
};

Bytes Noise(int width, int height, int frames)
{
    std::mt19937 random(7);
    Bytes pixels(static_cast<std::size_t>(width * height * frames));
    for (unsigned char& pixel : pixels)
        pixel = random() % 2 == 0 ? 0 : 255;
    return KvtFile(width, height, pixels);
}
}  // namespace

TEST_F(HostileFiles, APrintPastTheFileSizeLimitFailsSayingWhyAndKeepsTheOldPdf)
{
    WriteBytes(dir / "in.kvt", Noise(120, 90, 3));
    WriteBytes(dir / "out.pdf", {'o', 'l', 'd'});
    const KvtRun run = KvtUnderFileSizeLimit(16000, {"print", At("in.kvt"), "-o", At("out.pdf"), "--dpi", "100", "-q"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt print: " + At("out.pdf") + ": File too large\n");
    EXPECT_EQ(ReadBytes(dir / "out.pdf"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"in.kvt", "out.pdf"}));
}

TEST_F(HostileFiles, AHeaderClaimingMoreThanTheDiskHoldsIsRefusedBeforeAnythingIsWritten)
{
    // 24 bytes claiming 65535 frames of 4096 x 4096, all of them missing: refused before the shadows
    // of 4.4 TB each are asked for.
    WriteBytes(dir / "lie.kvt", HeaderBytes(4096, 4096, 65535, 0));
    fs::create_directory(dir / "out");
    const KvtRun run = Kvt({"shadows", At("lie.kvt"), "--out-dir", At("out"), "-q"});
    EXPECT_EQ(run.status, 1);
    const std::string warning = "kvt: warning: " + At("lie.kvt") +
                                ": the header's frame size is 0 bytes, where frames of 4096 x 4096 hold 16777216\n";
    const std::string refusal = "kvt: " + At("lie.kvt") + ": 65535 of its 65535 frames are missing from the file";
    EXPECT_EQ(run.err.substr(0, warning.size() + refusal.size()), warning + refusal) << run.err;
    EXPECT_TRUE(fs::is_empty(dir / "out"));

    // The file-size limit is a limit too.
    WriteBytes(dir / "in.kvt", Noise(44, 44, 1));
    const KvtRun limited = KvtUnderFileSizeLimit(1000, {"copy", At("in.kvt"), At("out/copy.kvt")});
    EXPECT_EQ(limited.status, 1);
    EXPECT_EQ(limited.err, "File save error: " + At("out/copy.kvt") + ": needs 2.0 kB, the file-size limit is 1.0 kB\n");
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(HostileFiles, InfoOfAHugeFrameReadsOnlyTheHeader)
{
    WriteBytes(dir / "huge.kvt", HeaderBytes(65536, 65536, 1, 0));
    WriteBytes(dir / "tiny.kvt", HeaderBytes(1, 1, 1, 0));
    const long huge = PeakKilobytes({"info", At("huge.kvt")});
    // A sanitizer's own memory comes on top of kvt's: measured against a tiny frame's run.
    EXPECT_LT(huge - PeakKilobytes({"info", At("tiny.kvt")}), 16 * 1024);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(huge, 64 * 1024) << "kilobytes at the peak";
#endif
    const Bytes printed = ReadBytes(dir / "out.txt");
    EXPECT_EQ(std::string(printed.begin(), printed.end()).rfind("width: 1\nheight: 1\n", 0), 0u);
}

TEST_F(HostileFiles, TheNextExportPutsRightWhatAKilledOneLeft)
{
    WriteBytes(dir / "in.kvt", Noise(8, 8, 3));
    WriteBytes(dir / "f-0.png", {'o', 'l', 'd'});
    WriteBytes(dir / "f-1.png", {'o', 'l', 'd'});
    // A run killed between its renames: f-0.png new, f-1.png old, the old f-0.png in its hidden folder.
    const pid_t killed = ::fork();
    if (killed == 0) {
        CFileSet set(dir.Path());
        set.SetRenameHook([](std::size_t i) { return i != 1 || std::raise(SIGKILL) == 0; });
        const auto write = [](CArchive& ar) {
            ar.Write("new", 3);
            return true;
        };
        if (set.Open() && WriteFileAtomically(set.Add("f-0.png"), write) && WriteFileAtomically(set.Add("f-1.png"), write))
            set.Commit();
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadBytes(dir / "f-0.png"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(Names().size(), 4u);

    // A failed export puts the old f-0.png back and removes the hidden folder.
    fs::create_directory(dir / "f-2.png");
    const KvtRun run = Kvt({"export", At("in.kvt"), "-o", At("f-%d.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt export: " + At("f-2.png") + ": not a regular file\n");
    EXPECT_EQ(ReadBytes(dir / "f-0.png"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"f-0.png", "f-1.png", "f-2.png", "in.kvt"}));
}

TEST_F(HostileFiles, SavesThroughALinkPlantedInASharedFolderAreRefusedNamingTheLink)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a second user: only root can plant a link as someone else";
    WriteBytes(dir / "in.kvt", Noise(4, 4, 1));
    WriteBytes(dir / "victim", {'m', 'i', 'n', 'e'});
    fs::create_directory(dir / "shared");
    ASSERT_EQ(::chmod((dir / "shared").c_str(), 01777), 0);
    for (const char* name : {"out.kvt", "f-0.png"}) {
        fs::create_symlink(dir / "victim", dir / "shared" / name);
        ASSERT_EQ(::lchown((dir / "shared" / name).c_str(), 4321, 4321), 0);
    }
    const std::string why = ": a symbolic link of another user in a shared folder, not followed\n";
    KvtRun run = Kvt({"copy", At("in.kvt"), At("shared/out.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File save error: " + At("shared/out.kvt") + why);
    run = Kvt({"export", At("in.kvt"), "-o", At("shared/f-%d.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt export: " + At("shared/f-0.png") + why);
    EXPECT_EQ(ReadBytes(dir / "victim"), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "shared"), {}), 2);
}
