#include "stream/AtomicFile.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "stream/Archive.h"

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

TEST(AtomicFile, APairReplacesNeitherTargetWhenOneCantBeFinished)
{
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / "one", "old one"));
    ASSERT_TRUE(WriteText(dir / "two", "old two"));
    CAtomicFile one(dir / "one"), two(dir / "two");
    ASSERT_TRUE(one.Open());
    ASSERT_TRUE(two.Open());
    ASSERT_EQ(::write(one.GetDescriptor(), "new", 3), 3);
    ASSERT_EQ(::write(two.GetDescriptor(), "new", 3), 3);
    // The second target turns into something no save may replace while the pair is written.
    std::filesystem::remove(dir / "two");
    ASSERT_EQ(::mkfifo((dir / "two").c_str(), 0600), 0);
    EXPECT_FALSE(CommitTogether(one, two));
    EXPECT_EQ(Text(dir / "one"), "old one");
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "two"));
}
