// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/AtomicFile.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "TempDir.h"
#include "io/Archive.h"
#include "io/SignalCleanup.h"

namespace {
bool WriteText(const std::filesystem::path& target, const std::string& text, bool complete = true)
{
    return WriteFileAtomically(target, [&](CArchive& ar) {
        ar.Write(text.data(), text.size());
        return complete;
    });
}

std::string Text(const std::filesystem::path& path)
{
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}
}  // namespace

TEST(AtomicFile, ReplacesTheTargetOnlyWhenTheWriteIsComplete)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "f", "old"));
    EXPECT_FALSE(WriteText(dir / "f", "half", false));
    EXPECT_EQ(Text(dir / "f"), "old");
    EXPECT_TRUE(WriteText(dir / "f", "new"));
    EXPECT_EQ(Text(dir / "f"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFile, WritesThroughASymbolicLink)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "real", "old"));
    std::filesystem::create_symlink(dir / "real", dir / "link");
    ASSERT_TRUE(WriteText(dir / "link", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(Text(dir / "real"), "new");
}

TEST(AtomicFile, ATargetThatIsNoRegularFileIsLeftAlone)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder");
    for (const char* name : {"pipe", "folder"}) {
        CAtomicFile file(dir / name);
        EXPECT_FALSE(file.Open()) << name;
        EXPECT_EQ(file.GetError(), "not a regular file");
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(AtomicFile, LinksPlantedAtPredictableNamesAreNeverFollowed)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "victim", "precious"));
    // Every name a temporary file beside the target could once have had.
    for (pid_t pid = ::getpid(); pid < ::getpid() + 64; ++pid)
        std::filesystem::create_symlink(dir / "victim", dir / ("f.tmp-" + std::to_string(pid)));
    ASSERT_TRUE(WriteText(dir / "f", "new"));
    EXPECT_EQ(Text(dir / "victim"), "precious");
    EXPECT_EQ(Text(dir / "f"), "new");
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndLongNamesSave)
{
    TempDir dir;
    const std::string longName(250, 'n');
    ASSERT_TRUE(WriteText(dir / longName, "old"));
    ::chmod((dir / longName).c_str(), 0640);
    ASSERT_TRUE(WriteText(dir / longName, "new"));
    struct stat status {};
    ASSERT_EQ(::stat((dir / longName).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(Text(dir / longName), "new");
}

TEST(AtomicFile, ASaveByRootKeepsTheUsersOwnership)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "f", "old"));
    ASSERT_EQ(::chown((dir / "f").c_str(), 1234, 5678), 0);
    ASSERT_TRUE(WriteText(dir / "f", "new"));
    struct stat status {};
    ASSERT_EQ(::stat((dir / "f").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
}

TEST(AtomicFile, AWriteEndedBySignalLeavesNothingBehind)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "f", "old"));
    for (const int signal : {SIGTERM, SIGXFSZ}) {
        EXPECT_EXIT(WriteFileAtomically(dir / "f",
                                        [&](CArchive& ar) {
                                            ar.Write("partial", 7);
                                            ar.Close();
                                            std::raise(signal);
                                            return true;
                                        }),
                    testing::KilledBySignal(signal), "");
    }
    EXPECT_EQ(Text(dir / "f"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFile, InASharedFolderOnlyLinksOfTheUserOrTheFoldersOwnerAreFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a second user: only root can plant a link as someone else";
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "victim", "precious"));
    const auto shared = dir / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);  // as /tmp is
    ASSERT_EQ(::chown(shared.c_str(), 4321, 4321), 0);
    std::filesystem::create_symlink(dir / "victim", shared / "out");
    ASSERT_EQ(::lchown((shared / "out").c_str(), 5555, 5555), 0);
    CAtomicFile planted(shared / "out");
    EXPECT_FALSE(planted.Open());
    EXPECT_EQ(planted.GetError(), "a symbolic link of another user in a shared folder, not followed");
    EXPECT_EQ(Text(dir / "victim"), "precious");

    ASSERT_EQ(::lchown((shared / "out").c_str(), 4321, 4321), 0);
    ASSERT_TRUE(WriteText(shared / "out", "new"));
    EXPECT_EQ(Text(dir / "victim"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(shared / "out"));
}

TEST(AtomicFile, ALinkToNothingIsRefused)
{
    TempDir dir;
    std::filesystem::create_symlink(dir / "missing", dir / "link");
    CAtomicFile file(dir / "link");
    EXPECT_FALSE(file.Open());
    EXPECT_EQ(file.GetError(), "can't follow the symbolic link: No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(AtomicFile, MoreThanTheDiskHoldsIsRefusedBeforeAnythingIsWritten)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "f", "old"));
    CAtomicFile huge(dir / "f");
    EXPECT_FALSE(huge.Open(std::uint64_t{1} << 62));
    EXPECT_EQ(huge.GetError().rfind("needs 4.6 EB, ", 0), 0u) << huge.GetError();
    EXPECT_NE(huge.GetError().find(" free"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // Files written at once share the room: the second can't have what the first holds.
    struct statvfs space {};
    ASSERT_EQ(::statvfs(dir.Path().c_str(), &space), 0);
    const std::uint64_t most = std::uint64_t{space.f_bavail} * space.f_frsize * 3 / 4;
    CAtomicFile first(dir / "one"), second(dir / "two");
    ASSERT_TRUE(first.Open(most));
    EXPECT_FALSE(second.Open(most));
}

TEST(SignalCleanup, AFolderBeingFilledGoesWithTheProcess)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "staging");
    WriteBytes(dir / "staging" / "frame-0001.png", {1, 2, 3});
    for (const int signal : {SIGINT, SIGHUP}) {
        EXPECT_EXIT(
            {
                RemoveOnSignal(::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY), "staging", true);
                std::raise(signal);
            },
            testing::KilledBySignal(signal), "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "staging"));
}

TEST(AtomicFile, InASharedFolderAnotherUsersFileIsNotReplacedNorItsModeKept)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a second user: only root can give a file to someone else";
    TempDir dir;
    const auto shared = dir / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);  // as /tmp is
    ASSERT_EQ(::chown(shared.c_str(), 4321, 4321), 0);
    // Another user's empty file, writable by all, waits at the name.
    WriteBytes(shared / "out", {});
    ASSERT_EQ(::chown((shared / "out").c_str(), 5555, 5555), 0);
    ASSERT_EQ(::chmod((shared / "out").c_str(), 0666), 0);
    CAtomicFile planted(shared / "out");
    EXPECT_FALSE(planted.Open());
    EXPECT_EQ(planted.GetError(), "a file of another user in a shared folder, not replaced");
    EXPECT_TRUE(ReadBytes(shared / "out").empty());

    // The folder owner's file is replaced, keeping its owner but not the write bits for others.
    ASSERT_EQ(::chown((shared / "out").c_str(), 4321, 4321), 0);
    const mode_t umask = ::umask(022);
    ASSERT_TRUE(WriteText(shared / "out", "new"));
    ::umask(umask);
    struct stat status {};
    ASSERT_EQ(::stat((shared / "out").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
    EXPECT_EQ(Text(shared / "out"), "new");
}
