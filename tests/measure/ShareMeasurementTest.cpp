// SPDX-License-Identifier: GPL-3.0-or-later
// Measured figures of shares built here from the papers' constructions, against their published
// contrast, and leak tests of sound and broken shares.

#include "measure/ShareMeasurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>

namespace {
using Basis = std::vector<std::vector<int>>;  // rows: shares; columns: subpixels; 1 black

int Stride(int width)
{
    return (width + 3) / 4 * 4;
}

// One frame of a secret and its shares, rows at the stream's stride.
struct Frames {
    int width, height;
    BlockShape block;
    std::vector<BYTE> secret;
    std::vector<std::vector<BYTE>> shares;

    Frames(int w, int h, BlockShape b, int shareCount)
        : width(w), height(h), block(b), secret(static_cast<std::size_t>(Stride(w) * h), 0),
          shares(static_cast<std::size_t>(shareCount),
                 std::vector<BYTE>(static_cast<std::size_t>(Stride(w * b.width) * h * b.height), 0))
    {
    }
    bool Black(int x, int y) const { return secret[static_cast<std::size_t>(y * Stride(width) + x)] == 0; }
    void SetSubpixel(int share, int x, int y, int j, bool black)
    {
        const int sx = x * block.width + j % block.width;
        const int sy = y * block.height + j / block.width;
        shares[static_cast<std::size_t>(share)][static_cast<std::size_t>(sy * Stride(width * block.width) + sx)] =
            black ? 0 : 255;
    }
};

// Blocks of 5 x 5 pixels, alternately black and white.
void PaintChecker(Frames& f)
{
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            f.secret[static_cast<std::size_t>(y * Stride(f.width) + x)] = (x / 5 + y / 5) % 2 ? 255 : 0;
}

// Naor and Shamir: each pixel's basis matrix with its columns shuffled.
Frames FromBasis(const Basis& white, const Basis& black, BlockShape block, std::mt19937& rng, int size = 60)
{
    Frames f(size, size, block, static_cast<int>(white.size()));
    PaintChecker(f);
    std::vector<int> columns(white.front().size());
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            std::iota(columns.begin(), columns.end(), 0);
            std::shuffle(columns.begin(), columns.end(), rng);
            const Basis& basis = f.Black(x, y) ? black : white;
            for (std::size_t s = 0; s < basis.size(); ++s)
                for (std::size_t j = 0; j < columns.size(); ++j)
                    f.SetSubpixel(static_cast<int>(s), x, y, static_cast<int>(j), basis[s][static_cast<std::size_t>(columns[j])]);
        }
    return f;
}

// Random grids: `rule` gives every share's pixel for a secret pixel.
using GridRule = std::function<std::vector<bool>(bool secretBlack, std::mt19937& rng)>;
Frames FromGrids(int shareCount, const GridRule& rule, std::mt19937& rng)
{
    Frames f(200, 200, {1, 1}, shareCount);
    PaintChecker(f);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const auto pixels = rule(f.Black(x, y), rng);
            for (int s = 0; s < shareCount; ++s)
                f.SetSubpixel(s, x, y, 0, pixels[static_cast<std::size_t>(s)]);
        }
    return f;
}

FrameFigures Measure(CShareMeasurement& measurement, const Frames& f, std::vector<int> which = {})
{
    if (which.empty())
        for (int s = 0; s < static_cast<int>(f.shares.size()); ++s)
            which.push_back(s);
    std::vector<const BYTE*> shares;
    for (int s : which)
        shares.push_back(f.shares[static_cast<std::size_t>(s)].data());
    return measurement.MeasureFrame(f.secret.data(), static_cast<std::size_t>(Stride(f.width)), shares,
                                    static_cast<std::size_t>(Stride(f.width * f.block.width)));
}

FrameFigures Measure(const Frames& f, std::vector<int> which = {})
{
    CShareMeasurement measurement(f.width, f.height, f.block, which.empty() ? static_cast<int>(f.shares.size())
                                                                           : static_cast<int>(which.size()), 1);
    return Measure(measurement, f, which);
}

bool Leaks(const CLeakTest& test)
{
    const auto chi = test.Test();
    return chi && chi->pValue < LeakThreshold(1);
}

bool Coin(std::mt19937& rng)
{
    return rng() & 1;
}
}  // namespace

TEST(ShareMeasurement, BlocksComeFromWholeMultiplesOnly)
{
    const auto block = DeriveBlockShape(100, 50, 300, 100);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->width, 3);
    EXPECT_EQ(block->height, 2);
    EXPECT_FALSE(DeriveBlockShape(100, 50, 301, 100));
    EXPECT_FALSE(DeriveBlockShape(100, 50, 300, 99));
    EXPECT_FALSE(DeriveBlockShape(100, 50, 50, 100));
}

TEST(ShareMeasurement, NaorShamirSchemesGiveTheirRelativeDifference)
{
    std::mt19937 rng(1);
    // (2, 2), m = 4: shares exact, stacked black blocks all black, white ones half.
    const Frames two = FromBasis({{1, 1, 0, 0}, {1, 1, 0, 0}}, {{1, 1, 0, 0}, {0, 0, 1, 1}}, {2, 2}, rng);
    const FrameFigures f22 = Measure(two);
    EXPECT_DOUBLE_EQ(*f22.contrast.blackDarkness, 1.0);
    EXPECT_DOUBLE_EQ(*f22.contrast.whiteDarkness, 0.5);
    EXPECT_DOUBLE_EQ(*f22.contrast.alpha, 0.5);
    EXPECT_DOUBLE_EQ(*f22.contrast.errorRate, 0.0);
    EXPECT_DOUBLE_EQ(*f22.ssim, 1.0);
    EXPECT_TRUE(std::isinf(*f22.psnr));

    // (3, 3), m = 4.
    const Frames three = FromBasis({{0, 0, 1, 1}, {0, 1, 0, 1}, {0, 1, 1, 0}},
                                   {{1, 1, 0, 0}, {1, 0, 1, 0}, {1, 0, 0, 1}}, {2, 2}, rng);
    EXPECT_DOUBLE_EQ(*Measure(three).contrast.alpha, 0.25);
    // Two of the three say nothing: both colours look alike, and every block is a guess.
    const FrameFigures pair = Measure(three, {0, 1});
    EXPECT_DOUBLE_EQ(*pair.contrast.alpha, 0.0);
    EXPECT_DOUBLE_EQ(*pair.contrast.errorRate, 0.5);
    EXPECT_FALSE(pair.ssim);

    // (2, 3), m = 3 in 3 x 1 blocks: any two shares.
    const Frames twoOfThree = FromBasis({{1, 0, 0}, {1, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {3, 1}, rng);
    EXPECT_NEAR(*Measure(twoOfThree, {0, 2}).contrast.alpha, 1.0 / 3, 1e-12);
    EXPECT_NEAR(*Measure(twoOfThree, {1, 2}).contrast.alpha, 1.0 / 3, 1e-12);

    // (4, 4), m = 8 in 4 x 2 blocks: columns of even weight for white, odd for black.
    Basis even(4), odd(4);
    for (int c = 0; c < 16; ++c)
        for (int s = 0; s < 4; ++s)
            (std::popcount(static_cast<unsigned>(c)) % 2 ? odd : even)[static_cast<std::size_t>(s)].push_back(c >> s & 1);
    const FrameFigures f44 = Measure(FromBasis(even, odd, {4, 2}, rng));
    EXPECT_DOUBLE_EQ(*f44.contrast.alpha, 1.0 / 8);
    EXPECT_DOUBLE_EQ(*f44.contrast.errorRate, 0.0);
}

TEST(ShareMeasurement, RandomGridsGiveTheirLightContrast)
{
    std::mt19937 rng(2);
    // Kafri and Keren: the first grid random, the second from it by the secret pixel.
    const GridRule first = [](bool black, std::mt19937& r) {
        const bool a = Coin(r);
        return std::vector<bool>{a, black ? !a : a};
    };
    const GridRule second = [](bool black, std::mt19937& r) {
        const bool a = Coin(r);
        return std::vector<bool>{a, black ? Coin(r) : a};
    };
    const GridRule third = [](bool black, std::mt19937& r) {
        const bool a = Coin(r);
        return std::vector<bool>{a, black ? !a : Coin(r)};
    };
    const FrameFigures f1 = Measure(FromGrids(2, first, rng));
    EXPECT_NEAR(*f1.contrast.beta, 0.5, 0.01);
    // White pixels come out black half the time: a quarter of this secret is wrong.
    EXPECT_NEAR(*f1.contrast.errorRate, 0.25, 0.01);
    // Those show as black (0) where white (255) was: 10 log10(255^2 / (255^2 / 4)) dB.
    EXPECT_NEAR(*f1.psnr, 10 * std::log10(4.0), 0.2);
    EXPECT_NEAR(*Measure(FromGrids(2, second, rng)).contrast.beta, 0.2, 0.01);
    EXPECT_NEAR(*Measure(FromGrids(2, third, rng)).contrast.beta, 0.25, 0.01);

    // Shyu (3, 3): each grid from a random one and the previous pixel, as Kafri and Keren's first.
    const GridRule shyu = [](bool black, std::mt19937& r) {
        const bool r1 = Coin(r);
        const bool carried = black ? !r1 : r1;
        const bool r2 = Coin(r);
        return std::vector<bool>{r1, r2, carried ? !r2 : r2};
    };
    const Frames grids = FromGrids(3, shyu, rng);
    const FrameFigures f33 = Measure(grids);
    EXPECT_NEAR(*f33.contrast.beta, 0.25, 0.01);
    EXPECT_DOUBLE_EQ(*f33.contrast.blackDarkness, 1.0);
    CShareMeasurement pairs(grids.width, grids.height, grids.block, 3, 2);
    Measure(pairs, grids);
    for (const SharesLeakTest& leak : pairs.GetLeakTests())
        EXPECT_FALSE(Leaks(leak.test)) << leak.shares.size() << " shares from " << leak.shares.front();
}

TEST(ShareMeasurement, LeakTestsFindPatternsThatFollowTheSecret)
{
    std::mt19937 rng(3);
    // A broken generator: the same pattern for every pixel, complemented where the secret is black.
    const Frames sound = FromBasis({{1, 1, 0, 0}, {1, 1, 0, 0}}, {{1, 1, 0, 0}, {0, 0, 1, 1}}, {4, 1}, rng);
    Frames broken = sound;
    for (int y = 0; y < broken.height; ++y)
        for (int x = 0; x < broken.width; ++x)
            for (int j = 0; j < 4; ++j) {
                broken.SetSubpixel(0, x, y, j, j < 2);
                broken.SetSubpixel(1, x, y, j, broken.Black(x, y) ? j >= 2 : j < 2);
            }
    CShareMeasurement measurement(broken.width, broken.height, broken.block, 2, 1);
    Measure(measurement, broken);
    const auto& tests = measurement.GetLeakTests();
    ASSERT_EQ(tests.size(), 4u);  // each share alone, each across frames
    EXPECT_FALSE(Leaks(tests[0].test));
    EXPECT_TRUE(Leaks(tests[1].test));
    EXPECT_DOUBLE_EQ(*tests[1].test.Darkness(true), 0.5);

    // The same shares made soundly leak nothing alone; both together reveal, jointly and stacked.
    CShareMeasurement pairs(sound.width, sound.height, sound.block, 2, 2);
    Measure(pairs, sound);
    const auto& paired = pairs.GetLeakTests();
    ASSERT_EQ(paired.size(), 6u);
    EXPECT_FALSE(Leaks(paired[0].test));
    EXPECT_FALSE(Leaks(paired[1].test));
    EXPECT_EQ(paired[2].view, LeakView::Joint);
    EXPECT_TRUE(Leaks(paired[2].test));
    EXPECT_EQ(paired[3].view, LeakView::Stacked);
    EXPECT_TRUE(Leaks(paired[3].test));

    // Without blocks, 2 x 2 windows: a grid that is the secret itself leaks.
    const Frames copy = FromGrids(2, [](bool black, std::mt19937& r) { return std::vector<bool>{black, Coin(r)}; }, rng);
    CShareMeasurement windows(copy.width, copy.height, copy.block, 2, 1);
    Measure(windows, copy);
    EXPECT_TRUE(Leaks(windows.GetLeakTests()[0].test));
    EXPECT_FALSE(Leaks(windows.GetLeakTests()[1].test));
}

TEST(ShareMeasurement, CrawlCountsChangesWhereTheSecretStays)
{
    std::mt19937 rng(4);
    const Basis white{{1, 1, 0, 0}, {1, 1, 0, 0}}, black{{1, 1, 0, 0}, {0, 0, 1, 1}};
    const Frames a = FromBasis(white, black, {2, 2}, rng, 100);
    CShareMeasurement measurement(a.width, a.height, a.block, 2, 1);
    EXPECT_FALSE(Measure(measurement, a).crawl);
    EXPECT_DOUBLE_EQ(*Measure(measurement, a).crawl, 0.0);
    // Fresh shares: black blocks stay black, each white subpixel changes half the time.
    EXPECT_NEAR(*Measure(measurement, FromBasis(white, black, {2, 2}, rng, 100)).crawl, 0.25, 0.01);
    const FrameFigures stream = measurement.StreamFigures();
    EXPECT_NEAR(*stream.crawl, 0.125, 0.01);
    EXPECT_DOUBLE_EQ(*stream.ssim, 1.0);
}

TEST(ShareMeasurement, GreyMappingAndChiSquareFollowTheirDefinitions)
{
    // Darkness 1 shows as 0 and 0.5 as 255; darker or lighter are clamped, greys whole.
    const GreyMapping mapping{1.0, 0.5};
    EXPECT_DOUBLE_EQ(mapping.Grey(0.75), 128);  // 127.5, rounded
    EXPECT_DOUBLE_EQ(mapping.Grey(0.25), 255);
    // A 2 x 2 table: statistic 0.7937 with one degree of freedom, p = 0.3730.
    const auto chi = TestIndependence({10, 30}, {20, 40});
    ASSERT_TRUE(chi);
    EXPECT_NEAR(chi->statistic, 0.79365, 1e-4);
    EXPECT_EQ(chi->degreesOfFreedom, 1);
    EXPECT_NEAR(chi->pValue, 0.37301, 1e-4);
    EXPECT_FALSE(TestIndependence({10, 30}, {0, 0}));
}

TEST(ShareMeasurement, PixelKeysAndRowTalliesAgree)
{
    // Two shares of 2 x 2 blocks are counted by pixel keys; adding an all-white third share, which
    // changes no stack, takes the row-by-row tallies. Every figure must come out the same.
    std::mt19937 rng(5);
    const Basis white{{1, 1, 0, 0}, {1, 1, 0, 0}}, black{{1, 1, 0, 0}, {0, 0, 1, 1}};
    std::vector<Frames> frames{FromBasis(white, black, {2, 2}, rng, 40), FromBasis(white, black, {2, 2}, rng, 40)};
    for (Frames& f : frames)
        f.shares.push_back(std::vector<BYTE>(f.shares.front().size(), 255));
    CShareMeasurement keys(40, 40, {2, 2}, 2, 2);
    CShareMeasurement rows(40, 40, {2, 2}, 3, 2);
    for (const Frames& f : frames) {
        const FrameFigures a = Measure(keys, f, {0, 1});
        const FrameFigures b = Measure(rows, f);
        EXPECT_EQ(a.contrast.errorRate, b.contrast.errorRate);
        EXPECT_EQ(a.ssim, b.ssim);
        EXPECT_EQ(a.crawl, b.crawl);
    }
    const FrameFigures a = keys.StreamFigures(), b = rows.StreamFigures();
    EXPECT_EQ(a.contrast.alpha, b.contrast.alpha);
    EXPECT_EQ(a.contrast.meanSquaredError, b.contrast.meanSquaredError);
    EXPECT_EQ(a.crawl, b.crawl);
    // Shares 1, 2 alone, jointly, stacked and across frames: the same counts, the same statistic.
    const auto& k = keys.GetLeakTests();
    const auto& r = rows.GetLeakTests();
    ASSERT_EQ(k.size(), 6u);
    ASSERT_EQ(r.size(), 12u);
    for (const auto& [i, j] : {std::pair{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 9}, {5, 10}}) {
        EXPECT_EQ(k[i].view, r[j].view);
        EXPECT_EQ(k[i].shares, r[j].shares);
        EXPECT_EQ(k[i].test.Darkness(true), r[j].test.Darkness(true));
        EXPECT_DOUBLE_EQ(k[i].test.Test()->statistic, r[j].test.Test()->statistic);
    }
}

TEST(ShareMeasurement, AFrameOfOneColourBorrowsTheDarknessesOfTheFramesBefore)
{
    std::mt19937 rng(6);
    const Basis white{{1, 1, 0, 0}, {1, 1, 0, 0}}, black{{1, 1, 0, 0}, {0, 0, 1, 1}};
    // Shares of a checker measured against an all-white secret: half their blocks are all black.
    Frames blank = FromBasis(white, black, {2, 2}, rng, 20);
    std::fill(blank.secret.begin(), blank.secret.end(), BYTE{255});
    CShareMeasurement alone(20, 20, {2, 2}, 2, 1);
    EXPECT_FALSE(Measure(alone, blank).ssim);  // no black pixel to say what black looks like

    CShareMeasurement after(20, 20, {2, 2}, 2, 1);
    Measure(after, FromBasis(white, black, {2, 2}, rng, 20));
    const FrameFigures figures = Measure(after, blank);
    EXPECT_FALSE(figures.contrast.alpha);
    ASSERT_TRUE(figures.ssim);
    EXPECT_LT(*figures.ssim, 1.0);
    EXPECT_DOUBLE_EQ(*figures.contrast.meanSquaredError, 255.0 * 255 / 2);
}

TEST(ShareMeasurement, RowsPackedAheadMeasureAsTheirBytes)
{
    // Keyed blocks (3 x 3, three shares) and blocks the rows are tallied for (6 x 6), odd widths
    // so that rows have alignment bytes: bytes and packed rows give the same figures and tests.
    std::mt19937 rng(9);
    for (const BlockShape block : {BlockShape{3, 3}, BlockShape{6, 6}}) {
        const int width = 37, height = 23, shareCount = 3;
        CShareMeasurement bytes({width, height, block, shareCount, 2, std::nullopt, true});
        CShareMeasurement packed({width, height, block, shareCount, 2, std::nullopt, true});
        ASSERT_TRUE(packed.TakesPackedShares());
        const CBlockPatternReader packer(block, width);
        const int shareStride = Stride(width * block.width);
        for (int frame = 0; frame < 2; ++frame) {
            Frames f(width, height, block, shareCount);
            for (BYTE& pixel : f.secret)
                pixel = Coin(rng) ? 255 : 0;
            for (auto& share : f.shares)
                for (BYTE& subpixel : share)
                    subpixel = Coin(rng) ? 255 : 0;
            std::vector<std::vector<std::uint64_t>> bits;
            std::vector<const std::uint64_t*> packedShares;
            for (const auto& share : f.shares) {
                bits.emplace_back(packer.PackedFrameWords(height * block.height), 0);
                packer.PackRows(share.data(), static_cast<std::size_t>(shareStride), height * block.height,
                                bits.back().data());
                packedShares.push_back(bits.back().data());
            }
            const FrameFigures a = Measure(bytes, f);
            const FrameFigures b = packed.MeasurePackedFrame(f.secret.data(), static_cast<std::size_t>(Stride(width)),
                                                             packedShares);
            EXPECT_EQ(a.contrast.errorRate, b.contrast.errorRate);
            EXPECT_EQ(a.ssim, b.ssim);
            EXPECT_EQ(a.crawl, b.crawl);
            EXPECT_EQ(a.temporal->textureContrast, b.temporal->textureContrast);
        }
        const auto& a = bytes.GetLeakTests();
        const auto& b = packed.GetLeakTests();
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].test.Darkness(true), b[i].test.Darkness(true));
            EXPECT_EQ(a[i].test.Test()->statistic, b[i].test.Test()->statistic);
        }
    }
}
