#include "stream/AtomicFile.h"

#include <gtest/gtest.h>

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
