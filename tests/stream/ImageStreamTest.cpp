// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/ImageStream.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "KvtBytes.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "io/Archive.h"

using Bytes = std::vector<BYTE>;
using Messages = std::vector<std::string>;

namespace {
bool LoadFile(CImageStream& stream, const std::filesystem::path& path)
{
    CArchive ar(path, CArchive::load);
    return stream.Load(ar);
}

bool StoreFile(const CImageStream& stream, const std::filesystem::path& path)
{
    CArchive ar(path, CArchive::store);
    const bool stored = stream.Store(ar);
    return ar.Close() && stored;
}

Bytes Frame(const CImageStream& stream, POSITION pos)
{
    const BYTE* frame = stream.GetFrameAt(pos);
    return Bytes(frame, frame + stream.GetFrameBytes());
}

void ExpectEmpty(const CImageStream& stream)
{
    EXPECT_EQ(stream.GetHeader(), KvtHeader{});
    EXPECT_EQ(stream.GetBitmapInfo(), nullptr);
    EXPECT_EQ(stream.GetPalette(), nullptr);
    EXPECT_FALSE(stream.HasFrames());
    EXPECT_FALSE(stream.GetCurrentPosition());
}
}  // namespace

TEST(ImageStream, BuiltStreamIsStoredAsTheseExactBytes)
{
    TempDir dir;
    CImageStream stream;
    stream.Initialize(3, 2, 1);
    FrameBuffer frame = AllocateFrameBuffer(stream.GetFrameBytes());
    const BYTE pixels[8] = {10, 20, 30, 0, 40, 50, 60, 0};
    std::copy(pixels, pixels + 8, frame.get());
    stream.AppendFrame(std::move(frame));
    ASSERT_TRUE(StoreFile(stream, dir / "out.kvt"));
    EXPECT_EQ(ReadBytes(dir / "out.kvt"),
              (FileBytes{0x4B, 0x56, 0, 0, 0, 0, 6, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0,  //
                         10, 20, 30, 40, 50, 60}));
}

TEST(ImageStream, RowsArePaddedWithZerosToAMultipleOfFour)
{
    TempDir dir;
    for (int width : {1, 2, 3, 4, 5, 7}) {
        SCOPED_TRACE(width);
        FileBytes pixels;
        for (int i = 0; i < width * 2; ++i)
            pixels.push_back(static_cast<unsigned char>(100 + i));
        const FileBytes file = Header(width, 2, 1) + pixels;
        WriteBytes(dir / "in.kvt", file);

        CImageStream stream;
        ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
        const int stride = (width + 3) / 4 * 4;
        EXPECT_EQ(stream.GetRowStride(), stride);
        EXPECT_EQ(stream.GetFrameBytes(), static_cast<std::size_t>(stride * 2));
        Bytes expected(static_cast<std::size_t>(stride * 2), 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                expected[y * stride + x] = pixels[y * width + x];
        EXPECT_EQ(Frame(stream, stream.GetHeadPosition()), expected);

        ASSERT_TRUE(StoreFile(stream, dir / "out.kvt"));
        EXPECT_EQ(ReadBytes(dir / "out.kvt"), file);
    }
}

TEST(ImageStream, LoadDescribesTheStreamForDrawing)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header(5, 3, 2) + FileBytes(30, 7));
    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    EXPECT_EQ(stream.GetFramesHeld(), 2u);
    EXPECT_EQ(stream.GetCurrentPosition(), stream.GetHeadPosition());
    const BITMAPINFO* info = stream.GetBitmapInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->bmiHeader.biSize, 40u);
    EXPECT_EQ(info->bmiHeader.biWidth, 5);
    EXPECT_EQ(info->bmiHeader.biHeight, -3);
    EXPECT_EQ(info->bmiHeader.biBitCount, 8);
    EXPECT_EQ(info->bmiHeader.biClrUsed, 256u);
    EXPECT_EQ(info->bmiColors[200].rgbRed, 200);
    EXPECT_EQ(info->bmiColors[200].rgbBlue, 200);
    ASSERT_NE(stream.GetPalette(), nullptr);
    EXPECT_EQ(stream.GetPalette()->GetEntries()[17].peGreen, 17);
    EXPECT_EQ(stream.GetPalette()->GetEntries()[17].peFlags, 0);
}

TEST(ImageStream, ReservedValuesAndAnOddFrameSizeSurviveLoadAndStore)
{
    TempDir dir;
    // Frame size 4 while width x height is 6: the loader reads 6 bytes a frame; the 4 there are
    // kept and the rest is black.
    const FileBytes file = Header({3, 2, 1, 4, {0x1234, 7, 0xFFFF, 1}}) + FileBytes{1, 2, 3, 4};
    WriteBytes(dir / "in.kvt", file);
    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    EXPECT_EQ(stream.GetHeader(), (KvtHeader{0x564B, 0x1234, 7, 4, 3, 2, 1, 0xFFFF, 1}));
    EXPECT_EQ(Frame(stream, stream.GetHeadPosition()), (Bytes{1, 2, 3, 0, 4, 0, 0, 0}));

    // Stored as it is, the file would claim 4 bytes a frame and hold 6: Store refuses it.
    EXPECT_FALSE(StoreFile(stream, dir / "out.kvt"));

    const FileBytes wellFormed = Header({3, 2, 1, 6, {0x1234, 7, 0xFFFF, 1}}) + FileBytes{1, 2, 3, 4, 5, 6};
    WriteBytes(dir / "in.kvt", wellFormed);
    CImageStream again;
    ASSERT_TRUE(LoadFile(again, dir / "in.kvt"));
    ASSERT_TRUE(StoreFile(again, dir / "out.kvt"));
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), wellFormed);
}

TEST(ImageStream, ShortFrameDataReadsAsBlack)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header(3, 2, 2) + FileBytes{9, 9, 9, 9, 9, 9, 8, 8});
    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    POSITION pos = stream.GetHeadPosition();
    EXPECT_EQ(Frame(stream, pos), (Bytes{9, 9, 9, 0, 9, 9, 9, 0}));
    stream.GetNextFrame(pos);
    EXPECT_EQ(Frame(stream, pos), (Bytes{8, 8, 0, 0, 0, 0, 0, 0}));
}

TEST(ImageStream, StreamWithoutFramesLoadsButIsNotStored)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header({3, 2, 0, 99}));
    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    EXPECT_FALSE(stream.HasFrames());
    EXPECT_FALSE(stream.GetCurrentPosition());
    {
        CArchive out(dir / "out.kvt", CArchive::store);
        EXPECT_FALSE(stream.Store(out));
        EXPECT_EQ(out.GetBytesWritten(), 0u);
    }
    EXPECT_TRUE(ReadBytes(dir / "out.kvt").empty());

    CImageStream built;
    built.Initialize(4, 4, 1);
    CArchive out(dir / "built.kvt", CArchive::store);
    EXPECT_FALSE(built.Store(out));
    EXPECT_EQ(out.GetBytesWritten(), 0u);
}

TEST(ImageStream, StreamShortOfItsFrameCountIsNotStored)
{
    TempDir dir;
    CImageStream stream;
    stream.Initialize(4, 1, 2);
    stream.AppendFrame(AllocateFrameBuffer(4));
    CArchive out(dir / "out.kvt", CArchive::store);
    EXPECT_FALSE(stream.Store(out));
    EXPECT_EQ(out.GetBytesWritten(), 0u);
}

TEST(ImageStream, WrongFileTypeShowsItsMessageAndEmptiesTheStream)
{
    TempDir dir;
    for (const auto& [first, second] : {std::pair{'K', 'X'}, std::pair{'X', 'V'}, std::pair{'V', 'K'}}) {
        WriteBytes(dir / "bad.kvt", Header({3, 2, 1, 6, {1, 2, 3, 4},
                                            static_cast<unsigned char>(first), static_cast<unsigned char>(second)}) +
                                        FileBytes(6, 1));
        MessageRecorder messages;
        CImageStream stream;
        stream.Initialize(8, 8, 0);
        EXPECT_FALSE(LoadFile(stream, dir / "bad.kvt"));
        EXPECT_EQ(messages.Messages(), Messages{"File Types Error"});
        ExpectEmpty(stream);
    }
}

TEST(ImageStream, NegativeSizesAreRefusedBeforeAnyFrameIsRead)
{
    TempDir dir;
    for (const auto& [width, height] : {std::pair{-1, 2}, std::pair{3, -2}, std::pair{INT32_MIN, INT32_MIN}}) {
        WriteBytes(dir / "neg.kvt", Header({width, height, 1, 0}));
        MessageRecorder messages;
        CImageStream stream;
        EXPECT_FALSE(LoadFile(stream, dir / "neg.kvt"));
        EXPECT_EQ(messages.Messages(), Messages{"Image size error: Width and height can't be negative"});
        ExpectEmpty(stream);
    }
}

TEST(ImageStream, FramesBeyondMemoryAreRefusedBeforeAnyIsAllocated)
{
    TempDir dir;
    // 65535 frames of 2 GiB each; and one row wider than any buffer.
    for (const auto& [width, height] : {std::pair{65536, 32768}, std::pair{INT32_MAX, 1}}) {
        WriteBytes(dir / "big.kvt", Header({width, height, 65535, 0}));
        MessageRecorder messages;
        CImageStream stream;
        EXPECT_FALSE(LoadFile(stream, dir / "big.kvt"));
        EXPECT_EQ(messages.Messages(), Messages{"Image size error: Not enough memory for the images"});
        ExpectEmpty(stream);
    }
}

TEST(ImageStream, FramesBeyondWhatTheProcessMayUseAreRefusedWithAMessage)
{
    TempDir dir;
    // 24 bytes that claim 65535 frames of 100 x 100 (655 MB) with a frame size of 0: the file
    // passes the open-time test, so only the load's memory test stands between it and the
    // allocation. The process may have 256 MB more than it uses now.
    WriteBytes(dir / "claim.kvt", Header({100, 100, 65535, 0}));
    EXPECT_EXIT(
        {
            SetMessageHook([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
            struct rlimit limit {};
            std::ifstream statm("/proc/self/statm");
            rlim_t pages = 0;
            statm >> pages;
            limit.rlim_cur = limit.rlim_max = pages * ::sysconf(_SC_PAGESIZE) + (rlim_t{256} << 20);
            ::setrlimit(RLIMIT_AS, &limit);
            CImageStream stream;
            std::exit(LoadFile(stream, dir / "claim.kvt") ? 0 : 3);
        },
        testing::ExitedWithCode(3), "Image size error: Not enough memory for the images");
}

TEST(ImageStream, PicturesBeyondTheLargestSideAreRefused)
{
    TempDir dir;
    // Frames of no bytes pass the memory test; their sides would still overflow the drawing.
    for (const auto& [width, height] : {std::pair{2147483000, 0}, std::pair{0, 65537}}) {
        WriteBytes(dir / "wide.kvt", Header({width, height, 1, 0}));
        MessageRecorder messages;
        CImageStream stream;
        EXPECT_FALSE(LoadFile(stream, dir / "wide.kvt"));
        EXPECT_EQ(messages.Messages(), Messages{"Image size error: Width and height can't be more than 65536"});
        ExpectEmpty(stream);
    }
}

TEST(ImageStream, TruncatedHeaderThrowsEndOfFile)
{
    TempDir dir;
    for (std::size_t length : {0, 1, 2, 10, 23}) {
        SCOPED_TRACE(length);
        const FileBytes header = Header(3, 2, 1);
        WriteBytes(dir / "short.kvt", FileBytes(header.begin(), header.begin() + length));
        MessageRecorder messages;
        CImageStream stream;
        try {
            LoadFile(stream, dir / "short.kvt");
            ADD_FAILURE() << "no end-of-file error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_FALSE(stream.HasFrames());
    }
}

TEST(ImageStream, ClearReturnsToEmpty)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header({2, 2, 1, 4, {5, 6, 7, 8}}) + FileBytes{1, 2, 3, 4});
    CImageStream stream;
    ASSERT_TRUE(LoadFile(stream, dir / "in.kvt"));
    stream.Clear();
    ExpectEmpty(stream);
}

TEST(ImageStream, WalkingPastEitherEndGivesTheNullPosition)
{
    CImageStream stream;
    stream.Initialize(4, 1, 2);
    for (BYTE tag : {1, 2}) {
        FrameBuffer frame = AllocateFrameBuffer(4);
        frame[0] = tag;
        stream.AppendFrame(std::move(frame));
    }
    POSITION pos = stream.GetHeadPosition();
    EXPECT_EQ(stream.GetNextFrame(pos)[0], 1);
    EXPECT_EQ(stream.GetFrameAt(pos)[0], 2);
    EXPECT_EQ(stream.GetNextFrame(pos)[0], 2);
    EXPECT_FALSE(pos);
    pos = stream.GetTailPosition();
    EXPECT_EQ(stream.GetPrevFrame(pos)[0], 2);
    EXPECT_EQ(stream.GetPrevFrame(pos)[0], 1);
    EXPECT_EQ(pos, nullptr);
    CImageStream empty;
    EXPECT_FALSE(empty.GetHeadPosition());
    EXPECT_FALSE(empty.GetTailPosition());
}
