// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/FileSet.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "io/Message.h"

namespace fs = std::filesystem;

namespace {
const std::vector<std::string> kNames = {"s-1", "s-2", "s-3", "s-4", "s-5"};

std::string Text(const fs::path& path)
{
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Old files s-1 ... s-4; s-5 is new to the folder.
void WriteOldSet(const TempDir& dir)
{
    for (std::size_t i = 0; i + 1 < kNames.size(); ++i)
        WriteBytes(dir / kNames[i], {'o', 'l', 'd'});
}

// Writes "new" under every name into `set`, opened; false on the first failure.
bool WriteNewSet(CFileSet& set, const std::string& text = "new")
{
    for (const std::string& name : kNames) {
        const fs::path path = set.Add(name);
        if (path.empty() || !WriteFileAtomically(path, [&](CArchive& ar) {
                ar.Write(text.data(), text.size());
                return true;
            }))
            return false;
    }
    return true;
}

// "old", "new" or "-" (no file) for each name.
std::string Contents(const TempDir& dir)
{
    std::string contents;
    for (const std::string& name : kNames) {
        if (!contents.empty())
            contents += ' ';
        contents += fs::exists(dir / name) ? Text(dir / name) : "-";
    }
    return contents;
}

const std::string kOldSet = "old old old old -";

// Runs `body` in a child process and returns how it ended.
int InChild(const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}
}  // namespace

TEST(FileSet, ARenameThatFailsPutsEveryOldFileBack)
{
    TempDir dir;
    WriteOldSet(dir);
    CFileSet set(dir.Path());
    ASSERT_TRUE(set.Open());
    ASSERT_TRUE(WriteNewSet(set));
    set.SetRenameHook([](std::size_t i) {
        errno = ENOSPC;
        return i != 2;
    });
    EXPECT_FALSE(set.Commit());
    EXPECT_EQ(set.GetErrorPath(), dir / "s-3");
    EXPECT_EQ(set.GetError(), "can't replace the file: No space left on device; no file of the set was replaced");
    EXPECT_EQ(Contents(dir), kOldSet);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"s-1", "s-2", "s-3", "s-4"}));
}

TEST(FileSet, ASetKilledBetweenRenamesIsPutBackByTheNextRun)
{
    TempDir dir;
    WriteOldSet(dir);
    const int status = InChild([&] {
        CFileSet set(dir.Path());
        set.SetRenameHook([](std::size_t i) {
            if (i == 3)
                std::raise(SIGKILL);
            return true;
        });
        if (set.Open() && WriteNewSet(set))
            set.Commit();
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(Contents(dir), "new new new old -");
    CFileSet next(dir.Path());
    ASSERT_TRUE(next.Open());
    EXPECT_EQ(Contents(dir), kOldSet);

    // Once every rename was done, the new set stays.
    ASSERT_TRUE(WriteNewSet(next, "next"));
    ASSERT_TRUE(next.Commit());
    EXPECT_EQ(Contents(dir), "next next next next next");
    EXPECT_EQ(dir.FileNames(), kNames);
}

TEST(FileSet, ASignalBetweenRenamesWaitsUntilTheSetIsWhole)
{
    TempDir dir;
    WriteOldSet(dir);
    for (const int signal : {SIGTERM, SIGINT}) {
        const int status = InChild([&] {
            CFileSet set(dir.Path());
            set.SetRenameHook([signal](std::size_t i) {
                if (i == 2)
                    std::raise(signal);
                return true;
            });
            if (set.Open() && WriteNewSet(set, std::to_string(signal)))
                set.Commit();
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        const std::string all = std::to_string(signal);
        EXPECT_EQ(Contents(dir), all + " " + all + " " + all + " " + all + " " + all);
        EXPECT_EQ(dir.FileNames(), kNames);
    }
}

TEST(FileSet, ASecondRunIntoTheFolderWaitsForTheFirst)
{
    TempDir dir;
    int locked[2], go[2], said[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(said), 0);
    const pid_t first = ::fork();
    if (first == 0) {
        CFileSet set(dir.Path());
        char byte = 0;
        const bool ok = set.Open() && ::write(locked[1], "L", 1) == 1 && WriteNewSet(set, "first") &&
                        ::read(go[0], &byte, 1) == 1 && set.Commit();
        ::_exit(ok ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(::read(locked[0], &byte, 1), 1);
    const pid_t second = ::fork();
    if (second == 0) {
        SetMessageHook([&](const std::string& text) { (void)!::write(said[1], text.data(), text.size()); });
        CFileSet set(dir.Path());
        ::_exit(set.Open() && WriteNewSet(set, "second") && set.Commit() ? 0 : 1);
    }
    char message[256] = {};
    ASSERT_GT(::read(said[0], message, sizeof message - 1), 0);
    EXPECT_EQ(std::string(message),
              dir.Path().string() + ": another run is writing files into this folder; waiting for it to finish");
    ASSERT_EQ(::write(go[1], "G", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(::waitpid(second, &status, 0), second);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Contents(dir), "second second second second second");
    for (const int fd : {locked[0], locked[1], go[0], go[1], said[0], said[1]})
        ::close(fd);
}

TEST(FileSet, AnUnfinishedSetLeavesTheTargetsAndNothingElse)
{
    TempDir dir;
    WriteOldSet(dir);
    {
        CFileSet set(dir.Path());
        ASSERT_TRUE(set.Open());
        ASSERT_TRUE(WriteNewSet(set));
    }
    EXPECT_EQ(Contents(dir), kOldSet);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"s-1", "s-2", "s-3", "s-4"}));
}
