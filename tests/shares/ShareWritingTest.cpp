// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/ShareWriting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>
#include <vector>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "shares/SchemeShares.h"
#include "vss/CellShareMaker.h"
#include "vss/RandomSource.h"

namespace {
// A secret of `frames` frames of 6 x 4 pixels, black and white in a different pattern each frame.
void WriteSecret(const std::filesystem::path& path, int frames)
{
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 24 * frames; ++i)
        pixels.push_back((i * 7 + i / 24) % 3 == 0 ? 0 : 255);
    WriteBytes(path, KvtFile(6, 4, pixels));
}

ShareRequest SchemeRequest(const TempDir& dir, int k, int n)
{
    ShareRequest request;
    request.secret = dir / "secret.kvt";
    request.kind = *LookUpScheme(SchemeChoice{SchemeFamily::NaorShamir, k, n, 0}, nullptr);
    request.seed = 7;
    request.folder = dir.Path();
    return request;
}
}  // namespace

TEST(ShareWriting, WritesEveryShareUnderTheTitleGivenAndReportsEachFrame)
{
    TempDir dir;
    WriteSecret(dir / "secret.kvt", 3);
    ShareRequest request = SchemeRequest(dir, 2, 3);
    request.title = "take";
    CShareWriting writing;
    ASSERT_TRUE(writing.Prepare(request));
    EXPECT_EQ(writing.GetHeading().substr(0, 21), "scheme: naor-shamir (");
    EXPECT_NE(writing.GetHeading().find("\nseed: 7\n"), std::string::npos);

    std::vector<std::uint32_t> frames;
    std::uint64_t bytes = 0;
    const auto result = writing.Write([&](const ShareProgress& done) {
        frames.push_back(done.frame);
        EXPECT_EQ(done.frames, 3u);
        bytes += done.bytes;
        return true;
    });
    ASSERT_EQ(result, ShareResult::Written);
    EXPECT_EQ(frames, (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(dir.FileNames(),
              (std::vector<std::string>{"secret.kvt", "take-Shadow1.kvt", "take-Shadow2.kvt", "take-Shadow3.kvt"}));
    const std::uint64_t shareBytes = 3ull * writing.GetShareHeader().frameSize;
    EXPECT_EQ(bytes, 3 * shareBytes);
    for (const auto& path : writing.GetPaths())
        EXPECT_EQ(ReadBytes(path).size(), 24 + shareBytes) << path;
}

// Stopped by the hook or by a stop request, at the first frame or later: no share and no
// temporary file appears, and an older share keeps its bytes.
TEST(ShareWriting, AStoppedRunLeavesNothingBehind)
{
    TempDir dir;
    WriteSecret(dir / "secret.kvt", 4);
    WriteBytes(dir / "secret-Shadow2.kvt", {1, 2, 3});
    for (std::uint32_t stopAfter : {1u, 3u}) {
        CShareWriting writing;
        ASSERT_TRUE(writing.Prepare(SchemeRequest(dir, 3, 3)));
        EXPECT_EQ(writing.Write([stopAfter](const ShareProgress& done) { return done.frame < stopAfter; }),
                  ShareResult::Stopped);
        EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"secret-Shadow2.kvt", "secret.kvt"}));
    }
    std::stop_source stop;
    CShareWriting writing;
    ASSERT_TRUE(writing.Prepare(SchemeRequest(dir, 2, 2)));
    const auto result = writing.Write([&stop](const ShareProgress&) {
        stop.request_stop();
        return true;
    }, stop.get_token());
    EXPECT_EQ(result, ShareResult::Stopped);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"secret-Shadow2.kvt", "secret.kvt"}));
    EXPECT_EQ(ReadBytes(dir / "secret-Shadow2.kvt"), (std::vector<unsigned char>{1, 2, 3}));
}

TEST(ShareWriting, ARefusedSecretOrCoverSaysWhichFileAndWritesNothing)
{
    TempDir dir;
    WriteSecret(dir / "secret.kvt", 1);
    WriteBytes(dir / "small.kvt", KvtFile(2, 2, {0, 255, 255, 0}));
    MessageRecorder messages;
    ShareRequest request = SchemeRequest(dir, 2, 2);
    request.kind = CoverPair{dir / "secret.kvt", dir / "small.kvt"};
    CShareWriting writing;
    EXPECT_FALSE(writing.Prepare(request));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].find("small.kvt: frames of 2x2"), std::string::npos) << messages.Messages()[0];
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"secret.kvt", "small.kvt"}));
}

// However many shares and however large their blocks, a scheme's shares are held a band at a time:
// (8, 8) on a 1000 x 1000 secret takes about 132 MB a share frame, its bands a block row. Schemes
// of one cell a pixel too, however many columns they draw from. Bands made as cells hold a byte a
// cell for every share together.
TEST(ShareWriting, SharesAreHeldABandAtATime)
{
    for (const auto& [family, k, n] : {std::tuple{SchemeFamily::NaorShamir, 2, 2}, {SchemeFamily::NaorShamir, 3, 6},
                                      {SchemeFamily::NaorShamir, 8, 8}, {SchemeFamily::RandomGrid, 4, 8},
                                      {SchemeFamily::Xor, 3, 5}, {SchemeFamily::Progressive, 2, 4}}) {
        const auto scheme = LookUpScheme(SchemeChoice{family, k, n, 0}, nullptr);
        SeedChoice seed = ChooseSeed(1);
        CSchemeShares shares;
        ASSERT_TRUE(shares.Prepare(*scheme, KvtHeader::Built(1000, 1000, 1), seed));
        const KvtHeader& shape = shares.GetShareHeader();
        const std::size_t rowsBytes =
            shares.GetCells() ? CellPitch(static_cast<std::size_t>(shape.width))
                              : static_cast<std::size_t>(n) * static_cast<std::size_t>(shape.RowStride());
        const std::size_t blockRowBytes = rowsBytes * static_cast<std::size_t>(scheme->promise.blockHeight);
        EXPECT_GE(shares.GetBandRows(), 1u);
        EXPECT_LE(shares.GetBandRows() * blockRowBytes, std::max(CSchemeShares::kBandBytes, blockRowBytes));
    }
}

// What is written is the maker's shares frame after frame, whether the writing gets them whole
// or spreads them from cells.
TEST(ShareWriting, WritesTheMakersSharesFromCellsOrWhole)
{
    TempDir dir;
    WriteSecret(dir / "secret.kvt", 3);
    const std::vector<unsigned char> secretFile = ReadBytes(dir / "secret.kvt");
    for (const auto& [family, k, n] : {std::tuple{SchemeFamily::NaorShamir, 3, 3}, {SchemeFamily::NaorShamir, 6, 6},
                                      {SchemeFamily::RandomGrid, 4, 8}}) {
        const auto scheme = LookUpScheme(SchemeChoice{family, k, n, 0}, nullptr);
        SCOPED_TRACE(DescribeScheme(*scheme));
        ShareRequest request = SchemeRequest(dir, k, n);
        request.kind = *scheme;
        request.title = "take";
        CShareWriting writing;
        ASSERT_TRUE(writing.Prepare(request));
        ASSERT_EQ(writing.Write(), ShareResult::Written);

        const auto random = CChaChaRandomSource::FromSeed(7);
        const auto maker = MakeShareMaker(*scheme, 6, 4, *random);
        const ShareGeometry g{6, 4, scheme->promise.blockWidth, scheme->promise.blockHeight};
        std::vector<std::vector<std::uint8_t>> made(static_cast<std::size_t>(n),
                                                    std::vector<std::uint8_t>(g.ShareStride() * g.ShareHeight()));
        std::vector<std::uint8_t*> out;
        for (auto& share : made)
            out.push_back(share.data());
        std::vector<std::vector<unsigned char>> files;
        for (const auto& path : writing.GetPaths())
            files.push_back(ReadBytes(path));
        for (std::size_t frame = 0; frame < 3; ++frame) {
            std::vector<std::uint8_t> secret(g.SecretStride() * g.height);
            for (std::size_t y = 0; y < g.height; ++y)
                std::copy_n(secretFile.begin() + static_cast<std::ptrdiff_t>(24 + frame * 24 + y * 6), 6,
                            secret.begin() + static_cast<std::ptrdiff_t>(y * g.SecretStride()));
            ASSERT_TRUE(maker->Make(secret.data(), out.data()));
            const std::size_t frameBytes = g.ShareWidth() * g.ShareHeight();
            for (std::size_t i = 0; i < made.size(); ++i)
                for (std::size_t y = 0; y < g.ShareHeight(); ++y)
                    ASSERT_TRUE(std::equal(made[i].begin() + static_cast<std::ptrdiff_t>(y * g.ShareStride()),
                                           made[i].begin() + static_cast<std::ptrdiff_t>(y * g.ShareStride() + g.ShareWidth()),
                                           files[i].begin() + static_cast<std::ptrdiff_t>(24 + frame * frameBytes + y * g.ShareWidth())))
                        << "share " << i << " frame " << frame << " row " << y;
        }
    }
}
