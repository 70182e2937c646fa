// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/StreamStacking.h"

#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "TestStreams.h"
#include "io/Progress.h"
#include "vss/PatternSource.h"

using Pixels = std::vector<BYTE>;

namespace {
constexpr const char* kMismatch = "Interlacing streams error: Image size not match.";
constexpr const char* kNoImage = "Interlacing streams error: No image in interlacing stream.";

// A destination with content of its own, to see whether a failure left it alone.
std::unique_ptr<CImageStream> Destination()
{
    return MakeTaggedStream(7, 3, 2, 200);
}

void ExpectUntouched(const CImageStream& destination)
{
    EXPECT_EQ(destination.GetWidth(), 7);
    EXPECT_EQ(destination.GetFrameCount(), 2);
    EXPECT_EQ(FirstPixels(destination), (Pixels{200, 201}));
}
}  // namespace

TEST(StreamStacking, InterlaceMode1AlternatesTheTwoShadows)
{
    MessageRecorder messages;
    const auto a = MakeTaggedStream(5, 3, 3, 10);
    const auto b = MakeTaggedStream(5, 3, 3, 20);
    CImageStream result;
    ASSERT_TRUE(result.InterlaceMode1(a.get(), b.get()));
    EXPECT_EQ(FirstPixels(result), (Pixels{10, 20, 11, 21, 12, 22}));
    EXPECT_EQ(result.GetFrameCount(), 6);
    EXPECT_EQ(result.GetFramesHeld(), 6u);
    EXPECT_EQ(result.GetWidth(), 5);
    EXPECT_EQ(result.GetHeight(), 3);
    EXPECT_EQ(result.GetFrameSize(), 15u);
    EXPECT_EQ(result.GetFileType(), a->GetFileType());
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(StreamStacking, InterlaceMode2CyclesChosenAndFreshShadows)
{
    const auto a = MakeTaggedStream(4, 2, 2, 10);
    const auto b = MakeTaggedStream(4, 2, 2, 20);
    const auto c = MakeTaggedStream(4, 2, 2, 30);
    const auto d = MakeTaggedStream(4, 2, 2, 40);
    CImageStream result;
    ASSERT_TRUE(result.InterlaceMode2(a.get(), b.get(), c.get(), d.get()));
    EXPECT_EQ(FirstPixels(result), (Pixels{10, 30, 20, 40, 11, 31, 21, 41}));
    EXPECT_EQ(result.GetFrameCount(), 8);
}

TEST(StreamStacking, ResultsHaveZeroReservedWordsAndWholeBuffersCopied)
{
    // Odd width: the alignment bytes travel with the frame.
    const auto a = MakeTaggedStream(3, 2, 1, 1);
    a->GetFrameAt(a->GetHeadPosition())[3] = 0;
    CImageStream copy;
    ASSERT_TRUE(copy.CopyStream(a.get()));
    EXPECT_EQ(copy.GetHeader(), KvtHeader::Built(3, 2, 1));
    EXPECT_EQ(std::memcmp(copy.GetFrameAt(copy.GetHeadPosition()), a->GetFrameAt(a->GetHeadPosition()),
                          a->GetFrameBytes()),
              0);
}

TEST(StreamStacking, CopyIsIndependentOfItsSource)
{
    const auto source = MakeTaggedStream(6, 4, 2, 50);
    CImageStream copy;
    ASSERT_TRUE(copy.CopyStream(source.get()));
    EXPECT_EQ(FirstPixels(copy), (Pixels{50, 51}));
    copy.GetFrameAt(copy.GetHeadPosition())[0] = 99;
    EXPECT_EQ(FirstPixels(*source), (Pixels{50, 51}));
}

TEST(StreamStacking, CopyFailuresReportAndLeaveTheDestination)
{
    MessageRecorder messages;
    const auto destination = Destination();
    CImageStream empty;
    EXPECT_FALSE(destination->CopyStream(nullptr));
    EXPECT_FALSE(destination->CopyStream(&empty));
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"Copy streams error: Copy stream is empty.",
                                                              "Copy streams error: No image in copy stream."}));
    ExpectUntouched(*destination);
}

TEST(StreamStacking, InterlaceRefusesStreamsThatDoNotMatch)
{
    struct Case {
        const char* name;
        int w1, h1, n1, w2, h2, n2;
    };
    for (const Case& c : {Case{"widths 100 and 101", 100, 50, 1, 101, 50, 1},
                          Case{"100 x 50 against 50 x 100", 100, 50, 1, 50, 100, 1},
                          Case{"3 and 4 frames", 8, 8, 3, 8, 8, 4}}) {
        SCOPED_TRACE(c.name);
        MessageRecorder messages;
        const auto destination = Destination();
        const auto a = MakeTaggedStream(c.w1, c.h1, c.n1, 1);
        const auto b = MakeTaggedStream(c.w2, c.h2, c.n2, 2);
        EXPECT_FALSE(destination->InterlaceMode1(a.get(), b.get()));
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{kMismatch});
        ExpectUntouched(*destination);
    }
}

TEST(StreamStacking, InterlaceRefusesMissingStreamsAndStreamsWithoutImages)
{
    MessageRecorder messages;
    const auto destination = Destination();
    const auto a = MakeTaggedStream(4, 4, 2, 1);
    const auto b = MakeTaggedStream(4, 4, 2, 2);
    CImageStream empty;
    EXPECT_FALSE(destination->InterlaceMode1(a.get(), nullptr));
    EXPECT_FALSE(destination->InterlaceMode1(a.get(), &empty));
    // Mode 2 with a fresh shadow that holds nothing fails even though A and B are valid.
    EXPECT_FALSE(destination->InterlaceMode2(a.get(), b.get(), &empty, b.get()));
    EXPECT_EQ(messages.Messages(),
              (std::vector<std::string>{"Interlacing streams error: Streams are not exist.", kNoImage, kNoImage}));
    ExpectUntouched(*destination);
}

TEST(StreamStacking, InterlaceRefusesAResultBeyondTheFrameCounter)
{
    MessageRecorder messages;
    const auto destination = Destination();
    const auto a = MakeTaggedStream(1, 1, 32768, 0);
    const auto b = MakeTaggedStream(1, 1, 32768, 0);
    EXPECT_FALSE(destination->InterlaceMode1(a.get(), b.get()));
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"Interlacing streams error: The result would hold more than 65535 images."});
    ExpectUntouched(*destination);

    // 16383 frames in mode 2 is the most the counter holds.
    const auto c = MakeTaggedStream(1, 1, 16383, 0);
    EXPECT_TRUE(destination->InterlaceMode2(c.get(), c.get(), c.get(), c.get()));
    EXPECT_EQ(destination->GetFrameCount(), 65532);
}

TEST(StreamStacking, InterlaceNeverWalksPastAShortStream)
{
    MessageRecorder messages;
    const auto destination = Destination();
    const auto a = MakeTaggedStream(4, 4, 3, 1);
    auto b = MakeTaggedStream(4, 4, 2, 2);
    b->Initialize(4, 4, 3);  // claims three frames, holds two
    EXPECT_FALSE(destination->InterlaceMode1(a.get(), b.get()));
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"Interlacing streams error: A stream holds fewer images than its header says."});
    ExpectUntouched(*destination);
}

TEST(StreamStacking, DirectStackingComparesOnlyFrameSizes)
{
    MessageRecorder messages;
    const auto wide = MakeTaggedStream(100, 50, 2, 1);
    const auto tall = MakeTaggedStream(50, 100, 5, 2);
    const auto other = MakeTaggedStream(50, 99, 2, 3);
    EXPECT_TRUE(CheckStackingFrameSizes(*wide, *tall));
    EXPECT_FALSE(CheckStackingFrameSizes(*wide, *other));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Two image size must be the same"});

    CImageStream first, second;
    ASSERT_TRUE(first.CopyStream(wide.get()));
    ASSERT_TRUE(second.CopyStream(tall.get()));
    EXPECT_EQ(first.GetWidth(), 100);
    EXPECT_EQ(second.GetWidth(), 50);
    EXPECT_EQ(second.GetFramesHeld(), 5u);
}

TEST(StreamStacking, RevealAndsFramesOfTheShorterLength)
{
    MessageRecorder messages;
    auto a = MakeTaggedStream(3, 2, 3, 0xF0);  // frames 0xF0, 0xF1, 0xF2
    auto b = MakeTaggedStream(3, 2, 2, 0x1C);  // frames 0x1C, 0x1D
    CImageStream revealed;
    ASSERT_TRUE(RevealByStacking(*a, *b, revealed));
    EXPECT_EQ(FirstPixels(revealed), (Pixels{0xF0 & 0x1C, 0xF1 & 0x1D}));
    EXPECT_EQ(revealed.GetFrameCount(), 2);
    EXPECT_EQ(revealed.GetRowStride(), 4);
    EXPECT_EQ(revealed.GetFrameAt(revealed.GetHeadPosition())[3], 0);  // padding stays 0

    const auto other = MakeTaggedStream(2, 3, 2, 1);
    EXPECT_FALSE(RevealByStacking(*a, *other, revealed));
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"Reveal error: The two streams must have the same width and height."});
    EXPECT_EQ(revealed.GetFrameCount(), 2);
}

TEST(StreamStacking, LongOperationsReportEveryFrameToTheProgressHook)
{
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    const ProgressHook previous =
        SetProgressHook([&](std::uint64_t done, std::uint64_t total) { reports.emplace_back(done, total); });
    const auto a = MakeTaggedStream(5, 3, 2, 10);
    const auto b = MakeTaggedStream(5, 3, 2, 20);
    CImageStream interlaced, copy, shadow1, shadow2;
    ASSERT_TRUE(interlaced.InterlaceMode1(a.get(), b.get()));
    ASSERT_TRUE(copy.CopyStream(a.get()));
    CLcgPatternSource source(7);
    ASSERT_TRUE(a->CreateVSSShadows(&shadow1, &shadow2, source));
    SetProgressHook(previous);
    const decltype(reports) expected{{2, 4}, {4, 4}, {1, 2}, {2, 2}, {1, 2}, {2, 2}};
    EXPECT_EQ(reports, expected);
}
