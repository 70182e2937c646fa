// SPDX-License-Identifier: GPL-3.0-or-later
// Stream files a frame at a time: what the reader hands out and the writer leaves on disk must be
// what the whole-stream load and store give.

#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"

#include <cstring>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

#include "KvtBytes.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "io/Archive.h"
#include "io/DocumentMessages.h"
#include "io/Message.h"

using Bytes = std::vector<BYTE>;
using Messages = std::vector<std::string>;

namespace {
// Every frame the reader gives, read into one reused buffer that starts out dirty.
std::vector<Bytes> ReadAllFrames(CStreamFileReader& reader)
{
    std::vector<Bytes> frames;
    Bytes buffer(reader.GetHeader().FrameBytes(), 0xAA);
    while (reader.ReadFrame(buffer.data())) {
        frames.push_back(buffer);
        std::fill(buffer.begin(), buffer.end(), BYTE{0xAA});
    }
    return frames;
}

std::vector<Bytes> LoadAllFrames(const std::filesystem::path& path)
{
    CImageStream stream;
    CArchive ar(path, CArchive::load);
    EXPECT_TRUE(stream.Load(ar));
    std::vector<Bytes> frames;
    for (POSITION pos = stream.GetHeadPosition(); pos;) {
        const BYTE* frame = stream.GetNextFrame(pos);
        frames.emplace_back(frame, frame + stream.GetFrameBytes());
    }
    return frames;
}

FileBytes Ramp(std::size_t count)
{
    FileBytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(i * 13 + 1);
    return bytes;
}
}  // namespace

TEST(StreamFileReader, FramesAreWhatTheLoadHolds)
{
    TempDir dir;
    // Odd width (alignment bytes), and a frame size field larger than width x height so that the
    // last frame runs past the data and ends black.
    WriteBytes(dir / "odd.kvt", Header({5, 3, 3, 17}) + Ramp(51));
    // Rows without alignment, read as one block.
    WriteBytes(dir / "even.kvt", Header(4, 2, 2) + Ramp(16));
    for (const char* name : {"odd.kvt", "even.kvt"}) {
        MessageRecorder messages;
        CStreamFileReader reader;
        ASSERT_TRUE(reader.Open(dir / name));
        EXPECT_EQ(ReadAllFrames(reader), LoadAllFrames(dir / name)) << name;
        EXPECT_TRUE(messages.Messages().empty());
    }
}

TEST(StreamFileReader, BandsOfRowsAreTheFramesRows)
{
    TempDir dir;
    WriteBytes(dir / "odd.kvt", Header({5, 3, 3, 17}) + Ramp(51));
    WriteBytes(dir / "even.kvt", Header(4, 2, 2) + Ramp(16));
    for (const char* name : {"odd.kvt", "even.kvt"}) {
        CStreamFileReader frames, bands;
        ASSERT_TRUE(frames.Open(dir / name));
        ASSERT_TRUE(bands.Open(dir / name));
        const KvtHeader& header = frames.GetHeader();
        const auto width = static_cast<std::size_t>(header.width);
        Bytes rows(width * static_cast<std::size_t>(header.height));
        for (const Bytes& frame : ReadAllFrames(frames)) {
            std::fill(rows.begin(), rows.end(), BYTE{0xAA});
            EXPECT_FALSE(bands.ReadRows(rows.data(), header.height + 1)) << "more rows than a frame holds";
            ASSERT_TRUE(bands.ReadRows(rows.data(), 1));
            ASSERT_TRUE(bands.ReadRows(rows.data() + width, header.height - 1));
            for (int y = 0; y < header.height; ++y)
                EXPECT_TRUE(std::equal(rows.begin() + static_cast<std::ptrdiff_t>(y * width),
                                       rows.begin() + static_cast<std::ptrdiff_t>((y + 1) * width),
                                       frame.begin() + y * header.RowStride()))
                    << name << " row " << y;
        }
        EXPECT_FALSE(bands.ReadRows(rows.data(), 1)) << "past the last frame";
    }
}

// A file cut short while it is read would give black frames to copy or measure as if they were
// the stream's: the read fails and says so, by frames and by rows alike.
TEST(StreamFileReader, AFileCutShortWhileReadFailsWithItsName)
{
    TempDir dir;
    const bool detailShown = SetMessageDetailShown(true);
    for (const bool byRows : {false, true}) {
        // Frames larger than the reader's buffer, so that the second is read after the cut.
        constexpr int kWidth = 512, kHeight = 256, kFrameBytes = kWidth * kHeight;
        WriteBytes(dir / "in.kvt", Header(kWidth, kHeight, 3) + Ramp(3 * kFrameBytes));
        CStreamFileReader reader;
        ASSERT_TRUE(reader.Open(dir / "in.kvt"));
        Bytes frame(reader.GetHeader().FrameBytes());
        const auto read = [&] { return byRows ? reader.ReadRows(frame.data(), kHeight) : reader.ReadFrame(frame.data()); };
        ASSERT_TRUE(read());
        ASSERT_EQ(::truncate((dir / "in.kvt").c_str(), 24 + kFrameBytes + kFrameBytes / 2), 0);
        MessageRecorder messages;
        EXPECT_FALSE(read()) << byRows;
        EXPECT_EQ(messages.Messages(), Messages{std::string(kFailedToOpenDoc) + ": " + (dir / "in.kvt").string() +
                                                ": the file is shorter than when it was opened"});
        EXPECT_FALSE(read()) << "nothing more after the failure";
    }
    SetMessageDetailShown(detailShown);
}

TEST(StreamFileReader, RefusesWithTheMessagesOfAnOpenInThePlayer)
{
    TempDir dir;
    const std::pair<FileBytes, Messages> cases[] = {
        {Header({3, 2, 1, 6, {}, 'K', 'X'}) + FileBytes(6), {"File types error"}},
        {Header(3, 2, 2) + FileBytes(6), {"File size not match"}},
        {Header({-3, 2, 1, 6}) + FileBytes(6), {"Image size error: Width and height can't be negative"}},
        // Frames of 4 GiB, 65535 of them held at once.
        {Header({65536, 65536, 1, 0}), {"Image size error: Not enough memory for the images"}},
    };
    for (const auto& [bytes, expected] : cases) {
        WriteBytes(dir / "f.kvt", bytes);
        MessageRecorder messages;
        CStreamFileReader reader;
        EXPECT_FALSE(reader.Open(dir / "f.kvt", 65535));
        EXPECT_EQ(messages.Messages(), expected);
        Bytes frame(16);
        EXPECT_FALSE(reader.ReadFrame(frame.data()));
    }
}

TEST(StreamFileWriter, WritesWhatTheStoreWrites)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header(5, 3, 2) + Ramp(30));
    // A header as it came, reserved fields kept; and a zero-width stream, which the store writes.
    WriteBytes(dir / "reserved.kvt", Header({5, 3, 2, 15, {1, 2, 3, 4}}) + Ramp(30));
    WriteBytes(dir / "empty.kvt", Header(0, 3, 2));
    for (const char* name : {"in.kvt", "reserved.kvt", "empty.kvt"}) {
        CStreamFileReader reader;
        ASSERT_TRUE(reader.Open(dir / name));
        const auto frames = ReadAllFrames(reader);
        CStreamFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "out.kvt", reader.GetHeader()));
        for (const Bytes& frame : frames)
            ASSERT_TRUE(writer.WriteFrame(frame.data()));
        ASSERT_TRUE(writer.Commit()) << writer.GetError();
        EXPECT_EQ(ReadBytes(dir / "out.kvt"), ReadBytes(dir / name));
    }
    // Counted as written: the header's count is filled in at the end.
    CStreamFileReader reader;
    ASSERT_TRUE(reader.Open(dir / "in.kvt"));
    CStreamFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "out.kvt", 5, 3, 0));
    for (const Bytes& frame : ReadAllFrames(reader))
        ASSERT_TRUE(writer.WriteFrame(frame.data()));
    ASSERT_TRUE(writer.Commit()) << writer.GetError();
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), ReadBytes(dir / "in.kvt"));
}

TEST(StreamFileWriter, AStreamShortOfItsCountOrEmptyLeavesTheTargetAlone)
{
    TempDir dir;
    WriteBytes(dir / "out.kvt", {'o', 'l', 'd'});
    const Bytes frame(8 * 2, 7);
    for (const std::uint16_t count : {std::uint16_t{2}, std::uint16_t{0}}) {
        CStreamFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "out.kvt", 7, 2, count));
        if (count == 2) {
            ASSERT_TRUE(writer.WriteFrame(frame.data()));
        }
        EXPECT_FALSE(writer.Commit());
    }
    CStreamFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "out.kvt", 7, 2, 1));
    ASSERT_TRUE(writer.WriteFrame(frame.data()));
    EXPECT_FALSE(writer.WriteFrame(frame.data()));  // one more than the header counts
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), (FileBytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}
