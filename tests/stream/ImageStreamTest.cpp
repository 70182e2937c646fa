#include "stream/ImageStream.h"

#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "stream/Archive.h"

namespace {
// Header of a stream file, little-endian as on disk.
std::vector<unsigned char> Header(int width, int height, unsigned frames, unsigned frameSize,
                                  unsigned char first = 'K', unsigned char second = 'V')
{
    auto u32 = [](unsigned v) {
        return std::vector<unsigned char>{static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                          static_cast<unsigned char>(v >> 16),
                                          static_cast<unsigned char>(v >> 24)};
    };
    std::vector<unsigned char> h = {first, second, 0, 0, 0, 0};
    for (unsigned v : {frameSize, static_cast<unsigned>(width), static_cast<unsigned>(height)}) {
        const auto b = u32(v);
        h.insert(h.end(), b.begin(), b.end());
    }
    h.insert(h.end(), {static_cast<unsigned char>(frames), static_cast<unsigned char>(frames >> 8), 0, 0, 0, 0});
    return h;
}

bool LoadFile(CImageStream& stream, const std::filesystem::path& path)
{
    CArchive ar(path, CArchive::load);
    return stream.Load(ar);
}
}  // namespace

TEST(ImageStream, OddWidthLoadsPaddedRowsAndStoresThemWithoutPadding)
{
    TempDir dir;
    auto bytes = Header(3, 2, 1, 6);
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6});
    WriteBytes(dir / "in.kvt", bytes);

    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    EXPECT_EQ(stream.GetRowStride(), 4);
    const BYTE* frame = stream.GetFrameAt(stream.GetHeadPosition());
    EXPECT_EQ(std::vector<BYTE>(frame, frame + 8), (std::vector<BYTE>{1, 2, 3, 0, 4, 5, 6, 0}));

    {
        CArchive out(dir / "out.kvt", CArchive::store);
        ASSERT_TRUE(stream.Store(out));
    }
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), bytes);
}

TEST(ImageStream, WrongFileTypeClearsTheStream)
{
    TempDir dir;
    WriteBytes(dir / "kx.kvt", Header(3, 2, 0, 6, 'K', 'X'));
    MessageRecorder messages;
    CImageStream stream;
    EXPECT_FALSE(LoadFile(stream, dir / "kx.kvt"));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"File Types Error"});
    EXPECT_EQ(stream.GetWidth(), 0);
    EXPECT_EQ(stream.GetBitmapInfo(), nullptr);
}

TEST(ImageStream, WalkingPastEitherEndGivesTheNullPosition)
{
    CImageStream stream;
    stream.Initialize(4, 1, 2);
    stream.AppendFrame(AllocateFrameBuffer(4));
    stream.AppendFrame(AllocateFrameBuffer(4));
    POSITION pos = stream.GetTailPosition();
    stream.GetNextFrame(pos);
    EXPECT_FALSE(pos);
    pos = stream.GetHeadPosition();
    stream.GetPrevFrame(pos);
    EXPECT_EQ(pos, nullptr);
}
