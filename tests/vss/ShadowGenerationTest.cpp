// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <vector>

#include "MessageRecorder.h"
#include "ShadowReference.h"
#include "TestStreams.h"
#include "stream/ImageStream.h"
#include "vss/PatternSource.h"

using Bytes = std::vector<BYTE>;
using Messages = std::vector<std::string>;

namespace {
constexpr const char* kNoImages = "Create VSS shadows error: This stream has no images";

// A one-frame secret from rows of pixels; padding stays 0.
std::unique_ptr<CImageStream> Secret(const std::vector<Bytes>& rows)
{
    auto stream = std::make_unique<CImageStream>();
    const int width = static_cast<int>(rows[0].size());
    stream->Initialize(width, static_cast<int>(rows.size()), 1);
    FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
    for (std::size_t y = 0; y < rows.size(); ++y)
        std::copy(rows[y].begin(), rows[y].end(), frame.get() + y * stream->GetRowStride());
    stream->AppendFrame(std::move(frame));
    return stream;
}

Bytes FrameBytes(const CImageStream& stream, POSITION pos)
{
    const BYTE* frame = stream.GetFrameAt(pos);
    return Bytes(frame, frame + stream.GetFrameBytes());
}

// The 2 x 2 blocks of both shadows, pixel by pixel: each must hold two black subpixels; stacked
// (black wins) a black secret pixel gives four and a white one two.
void ExpectBlockRules(const CImageStream& secret, const CImageStream& shadow1, const CImageStream& shadow2)
{
    const int w = secret.GetWidth(), h = secret.GetHeight();
    const int stride = secret.GetRowStride(), shadowStride = shadow1.GetRowStride();
    for (POSITION ps = secret.GetHeadPosition(), p1 = shadow1.GetHeadPosition(), p2 = shadow2.GetHeadPosition(); ps;) {
        const BYTE* s = secret.GetNextFrame(ps);
        const BYTE* a = shadow1.GetNextFrame(p1);
        const BYTE* b = shadow2.GetNextFrame(p2);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int black1 = 0, black2 = 0, stacked = 0;
                for (int sub = 0; sub < 4; ++sub) {
                    const int at = (2 * y + sub / 2) * shadowStride + 2 * x + sub % 2;
                    ASSERT_TRUE(a[at] == 0 || a[at] == 255);
                    ASSERT_TRUE(b[at] == 0 || b[at] == 255);
                    black1 += a[at] == 0;
                    black2 += b[at] == 0;
                    stacked += (a[at] & b[at]) == 0;
                }
                ASSERT_EQ(black1, 2) << x << ',' << y;
                ASSERT_EQ(black2, 2) << x << ',' << y;
                ASSERT_EQ(stacked, s[y * stride + x] == 0 ? 4 : 2) << x << ',' << y;
            }
    }
}

// Gives `good` indices, then fails.
class RunningDrySource final : public CPatternSource {
public:
    explicit RunningDrySource(std::size_t good) : m_nLeft(good) {}
    bool Fill(std::uint8_t* indices, std::size_t count) override
    {
        if (count > m_nLeft)
            return false;
        m_nLeft -= count;
        std::fill_n(indices, count, 0);
        return true;
    }

private:
    std::size_t m_nLeft;
};
}  // namespace

TEST(ShadowGeneration, SmallSecretWithSeedOneGivesTheseExactShadows)
{
    // Seed 1 draws 41, 18467, 6334, 26500, 19169, 15724: patterns 5, 5, 4, 4, 5, 4.
    // Pattern 5 is 255 0 / 0 255, pattern 4 is 0 255 / 255 0; shadow 2 complements black pixels.
    const auto secret = Secret({{0, 1, 255}, {0, 128, 0}});
    CImageStream shadow1, shadow2;
    CLcgPatternSource source(1);
    ASSERT_TRUE(secret->CreateVSSShadows(&shadow1, &shadow2, source));
    EXPECT_EQ(FrameBytes(shadow1, shadow1.GetHeadPosition()),
              (Bytes{255, 0, 255, 0, 0, 255, 0, 0,  //
                     0, 255, 0, 255, 255, 0, 0, 0,  //
                     0, 255, 255, 0, 0, 255, 0, 0,  //
                     255, 0, 0, 255, 255, 0, 0, 0}));
    EXPECT_EQ(FrameBytes(shadow2, shadow2.GetHeadPosition()),
              (Bytes{0, 255, 255, 0, 0, 255, 0, 0,  //
                     255, 0, 0, 255, 255, 0, 0, 0,  //
                     255, 0, 255, 0, 255, 0, 0, 0,  //
                     0, 255, 0, 255, 0, 255, 0, 0}));
}

TEST(ShadowGeneration, ShadowsGetTheDoubledHeaderAndZeroPadding)
{
    MessageRecorder messages;
    auto secret = MakeTaggedStream(3, 2, 2, 0);
    CImageStream shadow1, shadow2;
    CLcgPatternSource source(9);
    ASSERT_TRUE(secret->CreateVSSShadows(&shadow1, &shadow2, source));
    for (const CImageStream* shadow : {&shadow1, &shadow2}) {
        EXPECT_EQ(shadow->GetHeader(), KvtHeader::Built(6, 4, 2));
        EXPECT_EQ(shadow->GetFramesHeld(), 2u);
        ASSERT_NE(shadow->GetBitmapInfo(), nullptr);
        EXPECT_EQ(shadow->GetBitmapInfo()->bmiHeader.biHeight, -4);
        EXPECT_EQ(shadow->GetRowStride(), 8);
        for (POSITION pos = shadow->GetHeadPosition(); pos;) {
            const BYTE* frame = shadow->GetNextFrame(pos);
            for (int row = 0; row < 4; ++row) {
                EXPECT_EQ(frame[row * 8 + 6], 0);
                EXPECT_EQ(frame[row * 8 + 7], 0);
            }
        }
    }
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(ShadowGeneration, SeededPathMatchesTheReferenceOverSeveralFrames)
{
    // Frame k+1 continues the draws where frame k stopped.
    auto secret = MakeTaggedStream(37, 5, 3, 0);  // frame 0 all black, frames 1 and 2 white (1, 2)
    secret->GetFrameAt(secret->GetHeadPosition())[3] = 77;
    CImageStream shadow1, shadow2;
    CLcgPatternSource source(424242);
    ASSERT_TRUE(secret->CreateVSSShadows(&shadow1, &shadow2, source));

    std::uint32_t state = 424242;
    POSITION p1 = shadow1.GetHeadPosition(), p2 = shadow2.GetHeadPosition();
    for (POSITION ps = secret->GetHeadPosition(); ps;) {
        const auto expected = reference::MakeShadows(secret->GetNextFrame(ps), 37, 5, secret->GetRowStride(), state);
        EXPECT_EQ(FrameBytes(shadow1, p1), expected.first);
        EXPECT_EQ(FrameBytes(shadow2, p2), expected.second);
        shadow1.GetNextFrame(p1);
        shadow2.GetNextFrame(p2);
    }
}

TEST(ShadowGeneration, TimeSeededCallsInOneSecondAgreeWithTheReference)
{
    const auto secret = Secret({{0, 9, 0, 255, 0}, {255, 0, 3, 0, 0}});
    for (int attempt = 0; attempt < 5; ++attempt) {
        const auto before = static_cast<std::uint32_t>(std::time(nullptr));
        CImageStream a1, a2, b1, b2;
        ASSERT_TRUE(secret->CreateVSSShadows(&a1, &a2));
        ASSERT_TRUE(secret->CreateVSSShadows(&b1, &b2));
        if (static_cast<std::uint32_t>(std::time(nullptr)) != before)
            continue;  // the second turned over in between; try again
        std::uint32_t state = before;
        const auto expected = reference::MakeShadows(secret->GetFrameAt(secret->GetHeadPosition()), 5, 2, 8, state);
        EXPECT_EQ(FrameBytes(a1, a1.GetHeadPosition()), expected.first);
        EXPECT_EQ(FrameBytes(a2, a2.GetHeadPosition()), expected.second);
        EXPECT_EQ(FrameBytes(b1, b1.GetHeadPosition()), expected.first);
        EXPECT_EQ(FrameBytes(b2, b2.GetHeadPosition()), expected.second);
        return;
    }
    FAIL() << "the clock never held still for two calls";
}

TEST(ShadowGeneration, BlockRulesHoldForBothSources)
{
    auto secret = MakeTaggedStream(41, 9, 2, 0);
    BYTE* frame = secret->GetFrameAt(secret->GetHeadPosition());
    for (int i = 0; i < secret->GetRowStride() * 9; i += 3)
        frame[i] = static_cast<BYTE>(i % 7 == 0 ? 255 : 0);
    CLcgPatternSource seeded(5);
    CSecurePatternSource secure;
    for (CPatternSource* source : std::initializer_list<CPatternSource*>{&seeded, &secure}) {
        CImageStream shadow1, shadow2;
        ASSERT_TRUE(secret->CreateVSSShadows(&shadow1, &shadow2, *source));
        ExpectBlockRules(*secret, shadow1, shadow2);
    }
}

TEST(ShadowGeneration, BlackSecretGivesComplementsAndWhiteSecretGivesCopies)
{
    const auto black = MakeTaggedStream(6, 3, 1, 0);
    const auto white = MakeTaggedStream(6, 3, 1, 1);  // 1 counts as white
    CSecurePatternSource source;
    CImageStream b1, b2, w1, w2;
    ASSERT_TRUE(black->CreateVSSShadows(&b1, &b2, source));
    ASSERT_TRUE(white->CreateVSSShadows(&w1, &w2, source));
    const Bytes s1 = FrameBytes(b1, b1.GetHeadPosition()), s2 = FrameBytes(b2, b2.GetHeadPosition());
    for (std::size_t i = 0; i < s1.size(); ++i)
        EXPECT_EQ(s1[i] ^ s2[i], 255) << i;  // stride 12 = 2 x 6: no padding
    EXPECT_EQ(FrameBytes(w1, w1.GetHeadPosition()), FrameBytes(w2, w2.GetHeadPosition()));
}

TEST(ShadowGeneration, SecureSourceGivesDifferentShadowsEachRun)
{
    const auto secret = MakeTaggedStream(64, 16, 1, 255);
    CSecurePatternSource first, second;
    CImageStream a1, a2, b1, b2;
    ASSERT_TRUE(secret->CreateVSSShadows(&a1, &a2, first));
    ASSERT_TRUE(secret->CreateVSSShadows(&b1, &b2, second));
    // 1024 blocks of six possible patterns: equal by chance with probability 6^-1024.
    EXPECT_NE(FrameBytes(a1, a1.GetHeadPosition()), FrameBytes(b1, b1.GetHeadPosition()));
}

TEST(ShadowGeneration, MissingDestinationLeavesEverythingAlone)
{
    MessageRecorder messages;
    const auto secret = MakeTaggedStream(4, 4, 1, 0);
    CImageStream shadow;
    EXPECT_FALSE(secret->CreateVSSShadows(&shadow, nullptr));
    EXPECT_FALSE(secret->CreateVSSShadows(nullptr, &shadow));
    EXPECT_EQ(messages.Messages(), (Messages{"Create VSS shadows error: Dest streams are NULL",
                                             "Create VSS shadows error: Dest streams are NULL"}));
    EXPECT_EQ(shadow.GetFileType(), 0);
    EXPECT_EQ(shadow.GetBitmapInfo(), nullptr);
}

TEST(ShadowGeneration, SecretWithoutImagesLeavesShadowHeadersWithoutFrames)
{
    MessageRecorder messages;
    CImageStream secret;
    secret.Initialize(5, 3, 4);
    CImageStream shadow1, shadow2;
    EXPECT_FALSE(secret.CreateVSSShadows(&shadow1, &shadow2));
    EXPECT_EQ(messages.Messages(), Messages{kNoImages});
    for (const CImageStream* shadow : {&shadow1, &shadow2}) {
        EXPECT_EQ(shadow->GetWidth(), 10);
        EXPECT_EQ(shadow->GetHeight(), 6);
        EXPECT_EQ(shadow->GetFrameCount(), 4);
        EXPECT_FALSE(shadow->HasFrames());
        EXPECT_NE(shadow->GetPalette(), nullptr);
    }
}

TEST(ShadowGeneration, ShortSecretGivesShortShadows)
{
    auto secret = MakeTaggedStream(4, 2, 2, 0);
    secret->Initialize(4, 2, 3);  // says three, holds two
    CImageStream shadow1, shadow2;
    CLcgPatternSource source(3);
    ASSERT_TRUE(secret->CreateVSSShadows(&shadow1, &shadow2, source));
    EXPECT_EQ(shadow1.GetFrameCount(), 3);
    EXPECT_EQ(shadow1.GetFramesHeld(), 2u);
    EXPECT_EQ(shadow2.GetFramesHeld(), 2u);
}

TEST(ShadowGeneration, SourceRunningDryKeepsTheEarlierFrames)
{
    MessageRecorder messages;
    const auto secret = MakeTaggedStream(4, 2, 3, 0);
    CImageStream shadow1, shadow2;
    RunningDrySource source(8 + 4);  // frame 0 and one row of frame 1
    EXPECT_FALSE(secret->CreateVSSShadows(&shadow1, &shadow2, source));
    EXPECT_EQ(messages.Messages(), Messages{"Create VSS shadows error: No random patterns available"});
    EXPECT_EQ(shadow1.GetFrameCount(), 3);
    EXPECT_EQ(shadow1.GetFramesHeld(), 1u);
    EXPECT_EQ(shadow2.GetFramesHeld(), 1u);
}

TEST(ShadowGeneration, ShadowsTooLargeForTheHeaderAreRefused)
{
    MessageRecorder messages;
    for (const auto& [w, h] : {std::pair{INT_MAX / 2, 1}, std::pair{1, INT_MAX / 2 + 1}, std::pair{-2, 3}}) {
        CImageStream secret;
        secret.Initialize(w, h, 1);
        CImageStream shadow1, shadow2;
        EXPECT_FALSE(secret.CreateVSSShadows(&shadow1, &shadow2));
        EXPECT_EQ(shadow1.GetFileType(), 0);  // untouched
        EXPECT_EQ(shadow2.GetBitmapInfo(), nullptr);
    }
    EXPECT_EQ(messages.Messages(),
              Messages(3, "Create VSS shadows error:  Not memory avaliable for shadow1 images"));
}
