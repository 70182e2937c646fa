// SPDX-License-Identifier: GPL-3.0-or-later
// The leak tests against shares of every scheme kvt offers (none may be flagged) and against
// shares with leaks planted where the simpler tests can't see them; the contrast over m and over
// the block; what a viewer of shares shown in turn sees.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "measure/ShareMeasurement.h"
#include "vss/RandomSource.h"
#include "vss/ShareMaker.h"

namespace {
// Frames of a secret and its shares, laid out as the share makers lay them.
struct Shares {
    ShareGeometry g;
    std::vector<BYTE> secret;
    std::vector<std::vector<BYTE>> shares;

    Shares(std::size_t width, std::size_t height, BlockShape block, int count)
        : g{width, height, block.width, block.height}, secret(g.SecretStride() * height, 255),
          shares(static_cast<std::size_t>(count), std::vector<BYTE>(g.ShareStride() * g.ShareHeight(), 255))
    {
    }
    bool Black(std::size_t x, std::size_t y) const { return secret[y * g.SecretStride() + x] == 0; }
    // Cell j of pixel (x, y)'s block, row by row.
    BYTE& Cell(int share, std::size_t x, std::size_t y, int j)
    {
        const auto bw = static_cast<std::size_t>(g.blockWidth);
        const std::size_t sx = x * bw + static_cast<std::size_t>(j) % bw;
        const std::size_t sy = y * static_cast<std::size_t>(g.blockHeight) + static_cast<std::size_t>(j) / bw;
        return shares[static_cast<std::size_t>(share)][sy * g.ShareStride() + sx];
    }
    void SetBlock(int share, std::size_t x, std::size_t y, std::uint64_t pattern)
    {
        for (int j = 0; j < g.blockWidth * g.blockHeight; ++j)
            Cell(share, x, y, j) = pattern >> j & 1 ? 0 : 255;
    }
    // The shares of the secret as it stands, by the maker kvt shadows uses for `scheme`.
    bool Make(const Scheme& scheme, CRandomSource& random)
    {
        std::vector<BYTE*> out;
        for (auto& share : shares)
            out.push_back(share.data());
        return MakeShareMaker(scheme, g.width, g.height, random)->Make(secret.data(), out.data());
    }
    std::vector<const BYTE*> Frames() const
    {
        std::vector<const BYTE*> frames;
        for (const auto& share : shares)
            frames.push_back(share.data());
        return frames;
    }
};

// Squares of 8 x 8 pixels, alternately black and white, moved `shift` pixels right: frames
// shifted by 4 keep half their pixels and change the other half.
void PaintSquares(Shares& s, std::size_t shift)
{
    for (std::size_t y = 0; y < s.g.height; ++y)
        for (std::size_t x = 0; x < s.g.width; ++x)
            s.secret[y * s.g.SecretStride() + x] = ((x + shift) / 8 + y / 8) % 2 ? 255 : 0;
}

FrameFigures MeasureInto(CShareMeasurement& measurement, const Shares& s)
{
    return measurement.MeasureFrame(s.secret.data(), s.g.SecretStride(), s.Frames(), s.g.ShareStride());
}

std::vector<std::string> Flagged(const CShareMeasurement& measurement)
{
    std::vector<std::string> flagged;
    const char* views[] = {"alone", "joint", "stacked", "frames"};
    for (const SharesLeakTest& leak : measurement.GetLeakTests())
        if (measurement.Leaks(leak))
            flagged.push_back(std::string(views[static_cast<int>(leak.view)]) + " of share " +
                              std::to_string(leak.shares.front() + 1) + " p " +
                              std::to_string(leak.test.Test()->pValue));
    return flagged;
}

bool Flags(const CShareMeasurement& measurement, LeakView view)
{
    return std::any_of(measurement.GetLeakTests().begin(), measurement.GetLeakTests().end(),
                       [&](const SharesLeakTest& leak) { return leak.view == view && measurement.Leaks(leak); });
}

// A uniformly random pattern of `black` of `cells` cells.
std::uint64_t RandomPattern(int cells, int black, std::mt19937& rng)
{
    std::vector<int> order(static_cast<std::size_t>(cells));
    for (int i = 0; i < cells; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), rng);
    std::uint64_t pattern = 0;
    for (int i = 0; i < black; ++i)
        pattern |= std::uint64_t{1} << order[static_cast<std::size_t>(i)];
    return pattern;
}
}  // namespace

TEST(LeakFinding, NoOfferedSchemeIsFlagged)
{
    // Two frames of 96 x 96 by the makers kvt shadows uses, measured with every k - 1 shares.
    for (const SchemeChoice& choice : OfferedSchemes()) {
        const auto scheme = LookUpScheme(choice, nullptr);
        ASSERT_TRUE(scheme);
        const BlockShape block{scheme->promise.blockWidth, scheme->promise.blockHeight};
        const int k = choice.k, n = choice.n;
        CShareMeasurement measurement({96, 96, block, n, std::max(1, k - 1), std::nullopt, false});
        auto random = CChaChaRandomSource::FromSeed(
            static_cast<std::uint32_t>(static_cast<int>(choice.family) * 10000 + k * 100 + n * 10 + choice.variant + 1));
        for (std::size_t frame = 0; frame < 2; ++frame) {
            Shares s(96, 96, block, n);
            PaintSquares(s, 4 * frame);
            ASSERT_TRUE(s.Make(*scheme, *random));
            MeasureInto(measurement, s);
        }
        const std::string name = DescribeScheme(*scheme);
        EXPECT_EQ(Flagged(measurement), std::vector<std::string>{}) << name;
        if (scheme->layout == SchemeLayout::PermutedBlock) {
            // Measured over all n shares: as many stacked as k or more; the promise is for k.
            EXPECT_EQ(measurement.GetSchemeSubpixels().subpixels, scheme->promise.subpixels) << name;
            if (k == n) {
                EXPECT_NEAR(*measurement.StreamFigures().contrast.alpha, scheme->promise.contrast.Value(), 1e-12)
                    << name;
            }
        }
    }
}

TEST(LeakFinding, ContrastOverMAndOverTheWholeBlock)
{
    // naor-shamir (2, 3): m = 3 in 2 x 2 blocks, the fourth cell white in every share.
    const auto scheme = LookUpScheme({SchemeFamily::NaorShamir, 2, 3, 0}, nullptr);
    Shares s(64, 64, {2, 2}, 3);
    PaintSquares(s, 0);
    auto random = CChaChaRandomSource::FromSeed(7);
    ASSERT_TRUE(s.Make(*scheme, *random));
    s.shares.pop_back();
    CShareMeasurement measurement(64, 64, {2, 2}, 2, 1);
    const ContrastFigures c = MeasureInto(measurement, s).contrast;
    EXPECT_EQ(measurement.GetSchemeSubpixels().subpixels, 3);
    EXPECT_NEAR(*c.alpha, 1.0 / 3, 1e-12);
    EXPECT_NEAR(*c.blockAlpha, 0.25, 1e-12);
    EXPECT_NEAR(*c.blackDarkness, 2.0 / 3, 1e-12);
    EXPECT_NEAR(*c.blockBlackDarkness, 0.5, 1e-12);

    // m given: the figures over m follow it.
    CShareMeasurement given({64, 64, {2, 2}, 2, 1, 4, false});
    EXPECT_NEAR(*MeasureInto(given, s).contrast.alpha, 0.25, 1e-12);
}

TEST(LeakFinding, FlagsTwoSharesWhoseTuplesLeakWhileTheirStackDoesNot)
{
    // 2 x 1 blocks. Over white the two shares' patterns are independent and uniform; over black
    // (01, 10), (10, 01) come twice, (11, 11) three times and (01, 11), (10, 11), (11, 01),
    // (11, 10) never: each share alone and their stack have the same law over either colour.
    std::vector<std::pair<int, int>> black;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b)
            if (!((a == 1 || a == 2) && b == 3) && !(a == 3 && (b == 1 || b == 2)))
                black.emplace_back(a, b);
    black.insert(black.end(), {{1, 2}, {2, 1}, {3, 3}, {3, 3}});
    ASSERT_EQ(black.size(), 16u);
    std::mt19937 rng(11);
    Shares s(200, 200, {2, 1}, 2);
    PaintSquares(s, 0);
    for (std::size_t y = 0; y < 200; ++y)
        for (std::size_t x = 0; x < 200; ++x) {
            const auto [a, b] = s.Black(x, y) ? black[rng() % 16] : std::pair{int(rng() % 4), int(rng() % 4)};
            s.SetBlock(0, x, y, static_cast<std::uint64_t>(a));
            s.SetBlock(1, x, y, static_cast<std::uint64_t>(b));
        }
    CShareMeasurement measurement(200, 200, {2, 1}, 2, 2);
    MeasureInto(measurement, s);
    EXPECT_TRUE(Flags(measurement, LeakView::Joint));
    EXPECT_FALSE(Flags(measurement, LeakView::Stacked));
    EXPECT_FALSE(Flags(measurement, LeakView::Alone));
}

TEST(LeakFinding, FlagsPatternsThatLeakWithAConstantBlackCount)
{
    // 6 x 5 blocks, 15 black cells in each: over white any 15, over black one of the 30 turns of
    // a single pattern.
    std::mt19937 rng(12);
    const std::uint64_t base = RandomPattern(30, 15, rng);
    Shares s(60, 60, {6, 5}, 1);
    PaintSquares(s, 0);
    for (std::size_t y = 0; y < 60; ++y)
        for (std::size_t x = 0; x < 60; ++x) {
            const unsigned turn = rng() % 30;
            const std::uint64_t turned = (base << turn | base >> (30 - turn)) & ((std::uint64_t{1} << 30) - 1);
            s.SetBlock(0, x, y, s.Black(x, y) ? turned : RandomPattern(30, 15, rng));
        }
    CShareMeasurement measurement(60, 60, {6, 5}, 1, 1);
    MeasureInto(measurement, s);
    const auto& tests = measurement.GetLeakTests();
    ASSERT_EQ(tests[1].test.GetCategories(), LeakCategories::BlackCount);
    EXPECT_FALSE(measurement.Leaks(tests[1]));  // the count alone sees nothing
    EXPECT_TRUE(measurement.Leaks(tests[0]));
}

TEST(LeakFinding, FlagsAShareThatKeepsItsPatternsWhereTheSecretStays)
{
    // naor-shamir (2, 2) frame by frame, but the second frame keeps the first one's blocks
    // wherever the secret pixel kept its colour: every frame alone is sound.
    std::mt19937 rng(13);
    Shares first(80, 80, {2, 2}, 2);
    PaintSquares(first, 0);
    auto fill = [&](Shares& s, const Shares* keep) {
        for (std::size_t y = 0; y < 80; ++y)
            for (std::size_t x = 0; x < 80; ++x) {
                if (keep && keep->Black(x, y) == s.Black(x, y)) {
                    for (int share = 0; share < 2; ++share)
                        for (int j = 0; j < 4; ++j)
                            s.Cell(share, x, y, j) = const_cast<Shares*>(keep)->Cell(share, x, y, j);
                    continue;
                }
                const std::uint64_t p = RandomPattern(4, 2, rng);
                s.SetBlock(0, x, y, p);
                s.SetBlock(1, x, y, s.Black(x, y) ? ~p & 15 : p);
            }
    };
    fill(first, nullptr);
    Shares second(80, 80, {2, 2}, 2);
    PaintSquares(second, 4);
    fill(second, &first);
    CShareMeasurement measurement(80, 80, {2, 2}, 2, 1);
    MeasureInto(measurement, first);
    MeasureInto(measurement, second);
    EXPECT_FALSE(Flags(measurement, LeakView::Alone));
    EXPECT_TRUE(Flags(measurement, LeakView::AcrossFrames));
}

namespace {
// What a viewer sees of shares of squares shown in turn, and of the stream so far.
std::pair<TemporalFigures, TemporalFigures> SeenInTurn(const SchemeChoice& choice, BlockShape block, std::uint32_t seed)
{
    const auto scheme = LookUpScheme(choice, nullptr);
    Shares s(64, 48, block, choice.n);
    PaintSquares(s, 0);
    auto random = CChaChaRandomSource::FromSeed(seed);
    EXPECT_TRUE(s.Make(*scheme, *random));
    CShareMeasurement measurement({64, 48, block, choice.n, 1, std::nullopt, true});
    const TemporalFigures frame = *MeasureInto(measurement, s).temporal;
    return {frame, *measurement.StreamFigures().temporal};
}
}  // namespace

TEST(LeakFinding, SharesSeenInTurnShowNoMeanContrastButFlickerAndTexture)
{
    // naor-shamir (2, 2): over white both shares are alike (steady, half the cells black), over
    // black complementary (every cell black half the time).
    const auto [t, stream] = SeenInTurn({SchemeFamily::NaorShamir, 2, 2, 0}, {2, 2}, 9);
    EXPECT_EQ(t.frames, 2);
    EXPECT_DOUBLE_EQ(*t.meanContrast, 0.0);
    EXPECT_DOUBLE_EQ(*t.blackFlicker, 0.25);
    EXPECT_DOUBLE_EQ(*t.whiteFlicker, 0.0);
    EXPECT_DOUBLE_EQ(*t.blackTexture, 0.0);
    EXPECT_DOUBLE_EQ(*t.whiteTexture, 0.25);
    EXPECT_DOUBLE_EQ(*stream.flickerContrast, 0.25);
}

TEST(LeakFinding, SeenInTurnColoursThatAreAlikeShowContrastsOfExactlyZero)
{
    // naor-shamir (3, 5): every share is as dark, flickers and is textured alike over either
    // colour. Shares in fifths make sums that no binary fraction holds: the figures must still
    // come out exactly alike, whatever order the kinds of pixel are met in.
    const auto [t, stream] = SeenInTurn({SchemeFamily::NaorShamir, 3, 5, 0}, {3, 3}, 10);
    EXPECT_EQ(*t.meanContrast, 0.0);
    EXPECT_EQ(*t.flickerContrast, 0.0);
    EXPECT_EQ(*t.textureContrast, 0.0);
    EXPECT_EQ(*stream.textureContrast, 0.0);
    EXPECT_GT(*t.blackFlicker, 0.0);
}
