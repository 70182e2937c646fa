// SPDX-License-Identifier: GPL-3.0-or-later
// Stacking, interlacing and shadows of streams read from their files on demand: results refer to
// their sources' frames, so they must hold the same frames as results copied from memory, and keep
// them after their sources are gone; shadows built into work files hold the same bytes as shadows
// held in memory.

#include <gtest/gtest.h>

#include "InMemoryLimit.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "io/Archive.h"
#include "vss/PatternSource.h"

using Bytes = std::vector<BYTE>;

namespace {
constexpr std::uint64_t kReadOnDemand = 0;

// A tagged stream written to `path` and opened again, its frames read on demand.
std::unique_ptr<CImageStream> OnDemand(const std::filesystem::path& path, int width, int height, int frames, BYTE tag)
{
    {
        CArchive ar(path, CArchive::store);
        EXPECT_TRUE(MakeTaggedStream(width, height, frames, tag)->Store(ar));
    }
    return LoadStreamFile(path, kReadOnDemand);
}

std::vector<Bytes> AllFrames(const CImageStream& stream)
{
    std::vector<Bytes> frames;
    for (POSITION pos = stream.GetHeadPosition(); pos;) {
        const CFrameRef frame = stream.GetNextFrame(pos);
        frames.emplace_back(frame.get(), frame.get() + stream.GetFrameBytes());
    }
    return frames;
}
}  // namespace

TEST(FileStreamStacking, InterlacedAndCopiedStreamsOutliveTheirSources)
{
    TempDir dir;
    CImageStream mode1, mode2, copy;
    {
        const auto a = OnDemand(dir / "a.kvt", 5, 3, 3, 10);
        const auto b = OnDemand(dir / "b.kvt", 5, 3, 3, 20);
        const auto c = MakeTaggedStream(5, 3, 3, 30);  // a fresh pair is held in memory
        const auto d = OnDemand(dir / "d.kvt", 5, 3, 3, 40);
        ASSERT_TRUE(mode1.InterlaceMode1(a.get(), b.get()));
        ASSERT_TRUE(mode2.InterlaceMode2(a.get(), b.get(), c.get(), d.get()));
        ASSERT_TRUE(copy.CopyStream(b.get()));
        EXPECT_EQ(AllFrames(copy), AllFrames(*b));
    }
    EXPECT_EQ(FirstPixels(mode1), (std::vector<BYTE>{10, 20, 11, 21, 12, 22}));
    EXPECT_EQ(FirstPixels(mode2), (std::vector<BYTE>{10, 30, 20, 40, 11, 31, 21, 41, 12, 32, 22, 42}));
    EXPECT_EQ(mode2.GetHeader(), KvtHeader::Built(5, 3, 12));
    EXPECT_EQ(AllFrames(copy), AllFrames(*MakeTaggedStream(5, 3, 3, 20)));
}

TEST(FileStreamStacking, ShadowsInWorkFilesMatchShadowsInMemory)
{
    TempDir dir;
    const auto secret = OnDemand(dir / "secret.kvt", 7, 3, 4, 0);  // frame 0 black, then greys
    CImageStream held1, held2;
    CLcgPatternSource heldSource(99);
    ASSERT_TRUE(secret->CreateVSSShadows(&held1, &held2, heldSource));

    const InMemoryLimitScope scope(kReadOnDemand, dir.Path());
    CImageStream spooled1, spooled2;
    CLcgPatternSource spooledSource(99);
    ASSERT_TRUE(secret->CreateVSSShadows(&spooled1, &spooled2, spooledSource));
    EXPECT_EQ(spooled1.GetHeader(), held1.GetHeader());
    EXPECT_EQ(AllFrames(spooled1), AllFrames(held1));
    EXPECT_EQ(AllFrames(spooled2), AllFrames(held2));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "kvtplayer"));
}
