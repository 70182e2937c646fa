// SPDX-License-Identifier: GPL-3.0-or-later
// Streams whose frames stay in their file: read on demand they must hold, frame for frame and in
// any order of asking, what the whole read holds; a file cut short while open gives black and one
// message, and is never saved over another file; frames built into a work file come back as they
// were appended.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "InMemoryLimit.h"
#include "KvtBytes.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "stream/ImageStream.h"

using Bytes = std::vector<BYTE>;

namespace {
constexpr std::uint64_t kReadWhole = ~std::uint64_t{0};
constexpr std::uint64_t kReadOnDemand = 0;

FileBytes Ramp(std::size_t count, unsigned seed = 1)
{
    FileBytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(i * 13 + seed);
    return bytes;
}

std::vector<POSITION> Positions(const CImageStream& stream)
{
    std::vector<POSITION> positions;
    for (POSITION pos = stream.GetHeadPosition(); pos; stream.GetNextFrame(pos))
        positions.push_back(pos);
    return positions;
}

Bytes FrameBytes(const CImageStream& stream, POSITION pos)
{
    const CFrameRef frame = stream.GetFrameAt(pos);
    return Bytes(frame.get(), frame.get() + stream.GetFrameBytes());
}

// Every frame, in the order of `indices`.
std::vector<Bytes> FramesIn(const CImageStream& stream, const std::vector<std::size_t>& indices)
{
    const std::vector<POSITION> positions = Positions(stream);
    std::vector<Bytes> frames;
    for (const std::size_t k : indices)
        frames.push_back(FrameBytes(stream, positions[k]));
    return frames;
}

// What Store writes; nothing when it refuses (a frame size other than width x height).
FileBytes StoredBytes(const CImageStream& stream, const std::filesystem::path& path)
{
    CArchive ar(path, CArchive::store);
    const bool stored = stream.Store(ar);
    EXPECT_TRUE(ar.Close());
    return stored ? ReadBytes(path) : FileBytes{};
}

struct StreamFileCase {
    const char* name;
    FileBytes bytes;
};

// Odd widths (alignment bytes), a stride equal to the width, and frame size fields smaller and
// larger than width x height: frames then run past the data and end black, or skip bytes.
std::vector<StreamFileCase> StreamFiles()
{
    return {{"odd width", Header(5, 3, 9) + Ramp(135)},
            {"whole words", Header(4, 2, 7) + Ramp(56, 7)},
            {"short frames", Header({5, 3, 6, 11}) + Ramp(66, 3)},
            {"long frames", Header({3, 2, 5, 8}) + Ramp(40, 5)},
            {"one frame", Header(7, 5, 1) + Ramp(35, 9)}};
}
}  // namespace

TEST(OnDemandStream, HoldsWhatTheWholeReadHoldsInAnyOrder)
{
    TempDir dir;
    for (const StreamFileCase& file : StreamFiles()) {
        SCOPED_TRACE(file.name);
        WriteBytes(dir / "in.kvt", file.bytes);
        const auto whole = LoadStreamFile(dir / "in.kvt", kReadWhole);
        const auto onDemand = LoadStreamFile(dir / "in.kvt", kReadOnDemand);
        ASSERT_EQ(onDemand->GetHeader(), whole->GetHeader());
        ASSERT_EQ(onDemand->GetFramesHeld(), whole->GetFramesHeld());

        // Forward, backward and scattered, so that frames leave the cache and come back.
        const std::size_t n = whole->GetFramesHeld();
        std::vector<std::size_t> forward(n), backward(n), scattered(n);
        std::iota(forward.begin(), forward.end(), 0);
        std::reverse_copy(forward.begin(), forward.end(), backward.begin());
        for (std::size_t k = 0; k < n; ++k)
            scattered[k] = k * 5 % n;
        for (const auto* order : {&forward, &backward, &scattered, &forward})
            EXPECT_EQ(FramesIn(*onDemand, *order), FramesIn(*whole, *order));
        EXPECT_EQ(StoredBytes(*onDemand, dir / "a.kvt"), StoredBytes(*whole, dir / "b.kvt"));
    }
}

// A long file needs the memory of the frames it holds at once, not of all its frames: under an
// address limit of 256 MB more than the process has, 655 MB of frames open, while one frame of
// 2 GiB is still refused as it always was. The files' bytes are holes, taking no disk.
TEST(OnDemandStream, ALongFileOpensWhereOnlyItsCacheFitsInMemory)
{
    TempDir dir;
    const auto longFile = [&](const char* name, const FileBytes& header, std::uint64_t frameBytes) {
        WriteBytes(dir / name, header);
        std::filesystem::resize_file(dir / name, header.size() + frameBytes);
        return dir / name;
    };
    const auto loadUnderLimit = [](const std::filesystem::path& path) {
        SetMessageHook([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
        LimitAddressSpaceTo(std::uint64_t{256} << 20);
        CImageStream stream;
        CArchive ar(path, CArchive::load);
        std::exit(stream.Load(ar) && stream.GetFramesHeld() == stream.GetFrameCount() ? 0 : 3);
    };
    const auto many = longFile("many.kvt", Header(100, 100, 65535), 65535ull * 100 * 100);
    EXPECT_EXIT(loadUnderLimit(many), testing::ExitedWithCode(0), "");
    const auto huge = longFile("huge.kvt", Header({65536, 32768, 1, 1u << 31}), 1ull << 31);
    EXPECT_EXIT(loadUnderLimit(huge), testing::ExitedWithCode(3), "Image size error: Not enough memory for the images");
}

TEST(OnDemandStream, AFrameHeldStaysWhileOthersPassThroughTheCache)
{
    TempDir dir;
    WriteBytes(dir / "in.kvt", Header(6, 4, 12) + Ramp(288));
    const auto stream = LoadStreamFile(dir / "in.kvt", kReadOnDemand);
    const std::vector<POSITION> positions = Positions(*stream);
    const CFrameRef first = stream->GetFrameAt(positions[0]);
    const Bytes before(first.get(), first.get() + stream->GetFrameBytes());
    for (const POSITION pos : positions)
        stream->GetFrameAt(pos);
    EXPECT_EQ(Bytes(first.get(), first.get() + stream->GetFrameBytes()), before);
}

TEST(OnDemandStream, AFileCutShortWhileOpenGivesBlackOnceAndIsNotSaved)
{
    TempDir dir;
    constexpr int kWidth = 8, kHeight = 4, kFrames = 10;
    const FileBytes pixels = Ramp(kWidth * kHeight * kFrames, 11);
    WriteBytes(dir / "in.kvt", Header(kWidth, kHeight, kFrames) + pixels);
    const auto stream = LoadStreamFile(dir / "in.kvt", kReadOnDemand);

    // Three frames and a half are left.
    const std::size_t frameBytes = kWidth * kHeight;
    ASSERT_EQ(::truncate((dir / "in.kvt").c_str(), static_cast<off_t>(24 + 3 * frameBytes + frameBytes / 2)), 0);
    MessageRecorder messages;
    const std::vector<POSITION> positions = Positions(*stream);
    // Forward as played, then back: each frame the same both ways.
    std::vector<Bytes> forward, backward(kFrames);
    for (const POSITION pos : positions)
        forward.push_back(FrameBytes(*stream, pos));
    for (std::size_t k = kFrames; k-- > 0;)
        backward[k] = FrameBytes(*stream, positions[k]);
    for (std::size_t k = 0; k < kFrames; ++k) {
        Bytes expected(frameBytes, 0);
        const std::size_t kept = k < 3 ? frameBytes : k == 3 ? frameBytes / 2 : 0;
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(k * frameBytes), kept, expected.begin());
        EXPECT_EQ(forward[k], expected) << "frame " << k;
        EXPECT_EQ(backward[k], expected) << "frame " << k;
    }
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0], "File read error: " + (dir / "in.kvt").string() +
                                          ": the file is shorter than when it was opened; the images "
                                          "that can't be read are shown black");

    // Saved, the black would replace the picture for good: the old file stays.
    WriteBytes(dir / "out.kvt", {1, 2, 3});
    EXPECT_FALSE(WriteFileAtomically(dir / "out.kvt", [&](CArchive& ar) { return stream->Store(ar); }));
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), (FileBytes{1, 2, 3}));
}

TEST(OnDemandStream, SpooledFramesComeBackAsAppendedFromAnUnnamedFile)
{
    TempDir dir;
    const InMemoryLimitScope scope(kReadOnDemand, dir.Path());
    const auto held = MakeTaggedStream(5, 3, 6, 40);
    CImageStream spooled;
    spooled.Initialize(5, 3, 6);
    std::string error;
    ASSERT_TRUE(spooled.SpoolFrames(error)) << error;
    for (POSITION pos = held->GetHeadPosition(); pos;) {
        const CFrameRef frame = held->GetNextFrame(pos);
        ASSERT_TRUE(spooled.AppendFrame(CopyFrameBuffer(frame, held->GetFrameBytes())));
    }
    std::vector<std::size_t> backward(6);
    std::iota(backward.rbegin(), backward.rend(), 0);
    EXPECT_EQ(FramesIn(spooled, backward), FramesIn(*held, backward));
    EXPECT_EQ(StoredBytes(spooled, dir / "a.kvt"), StoredBytes(*held, dir / "b.kvt"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "kvtplayer"));
}

TEST(OnDemandStream, AWorkFileThatCantBeMadeSaysWhere)
{
    TempDir dir;
    WriteBytes(dir / "file", {1});
    const InMemoryLimitScope scope(kReadOnDemand, dir / "file");
    CImageStream stream;
    stream.Initialize(4, 4, 2);
    std::string error;
    EXPECT_FALSE(stream.SpoolFrames(error));
    EXPECT_EQ(error.rfind((dir / "file" / "kvtplayer").string() + ": ", 0), 0u) << error;
}
