// SPDX-License-Identifier: GPL-3.0-or-later
// The schemes of the catalogue against their papers' contrasts, and the shares their makers write.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "vss/RandomSource.h"
#include "vss/SchemeCatalogue.h"
#include "vss/ShareMaker.h"
#include "vss/TableShareMaker.h"
#include "vss/UniformDraws.h"

namespace {
using Columns = std::vector<std::uint8_t>;

Scheme Get(SchemeFamily family, int k, int n, int variant = 0)
{
    std::string refusal;
    const auto scheme = LookUpScheme({family, k, n, variant}, &refusal);
    EXPECT_TRUE(scheme) << refusal;
    return scheme.value_or(Scheme{});
}

// Every set of `size` shares of n, as bit masks.
std::vector<std::uint8_t> SubsetsOf(int n, int size)
{
    std::vector<std::uint8_t> subsets;
    for (unsigned mask = 0; mask < (1u << n); ++mask)
        if (std::popcount(mask) == size)
            subsets.push_back(static_cast<std::uint8_t>(mask));
    return subsets;
}

// How often each pattern appears among the columns seen through `mask`.
std::map<std::uint8_t, int> Restricted(const Columns& columns, std::uint8_t mask)
{
    std::map<std::uint8_t, int> counts;
    for (std::uint8_t c : columns)
        ++counts[static_cast<std::uint8_t>(c & mask)];
    return counts;
}

int BlackOn(const Columns& columns, std::uint8_t mask)
{
    return static_cast<int>(std::count_if(columns.begin(), columns.end(), [&](std::uint8_t c) { return (c & mask) != 0; }));
}

// Light contrast of Chen and Tsao's grids: the k shares stacked all carry the (k, k) grid with
// chance p = 1 / C(n, k); else they show k - j carried bits and j random ones alike for either colour.
Fraction ChenTsaoContrast(int k, int n)
{
    std::int64_t subsets = 1;
    for (int i = 0; i < k; ++i)
        subsets = subsets * (n - i) / (i + 1);
    // T(white) - T(black) = p / 2^(k-1), T(black) = (1 - p) / 2^k, so 2p / (2^k + 1 - p).
    const std::int64_t twoK = std::int64_t{1} << k;
    return Fraction::Of(2, subsets * (twoK + 1) - 1);
}
}  // namespace

TEST(SchemeCatalogue, PromisesAreThePublishedContrasts)
{
    for (int n = 3; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const SchemePromise nn = Get(SchemeFamily::NaorShamir, n, n).promise;
        EXPECT_EQ(nn.subpixels, 1 << (n - 1));
        EXPECT_EQ(nn.contrast, Fraction::Of(1, 1 << (n - 1)));
        const SchemePromise twoN = Get(SchemeFamily::NaorShamir, 2, n).promise;
        EXPECT_EQ(twoN.subpixels, n);
        EXPECT_EQ(twoN.contrast, Fraction::Of(1, n));
        EXPECT_EQ(Get(SchemeFamily::RandomGrid, n, n).promise.contrast, Fraction::Of(1, 1 << (n - 1)));
        EXPECT_EQ(Get(SchemeFamily::Probabilistic, 2, n).promise.contrast, Fraction::Of(1, n));
        for (int k = 2; k < n; ++k)
            EXPECT_EQ(Get(SchemeFamily::RandomGrid, k, n).promise.contrast, ChenTsaoContrast(k, n)) << k;
    }
    const Fraction kafriKeren[] = {Fraction::Of(1, 2), Fraction::Of(1, 5), Fraction::Of(1, 4)};
    for (int v = 1; v <= 3; ++v)
        EXPECT_EQ(Get(SchemeFamily::RandomGrid, 2, 2, v).promise.contrast, kafriKeren[v - 1]);
    EXPECT_EQ(Get(SchemeFamily::RandomGrid, 2, 2).choice.variant, 1);

    const SchemePromise classic = Get(SchemeFamily::NaorShamir, 2, 2).promise;
    EXPECT_EQ(classic.subpixels, 4);
    EXPECT_EQ(classic.blockWidth, 2);
    EXPECT_EQ(classic.blockHeight, 2);
    EXPECT_EQ(classic.contrast, Fraction::Of(1, 2));
    // The column-weight schemes: one white subpixel more for white, m within bounds.
    for (int n = 4; n <= 6; ++n)
        for (int k = 3; k < n; ++k) {
            const SchemePromise p = Get(SchemeFamily::NaorShamir, k, n).promise;
            EXPECT_LE(p.subpixels, 64);
            EXPECT_EQ(p.contrast, Fraction::Of(1, p.subpixels));
            EXPECT_GE(p.blockWidth * p.blockHeight, p.subpixels);
            EXPECT_EQ(Get(SchemeFamily::Probabilistic, k, n).promise.contrast, p.contrast);
        }
}

// Any k - 1 shares see the same columns, as often, for both colours; any k see exactly the promised
// black counts. Every scheme, every subset.
TEST(SchemeCatalogue, FewerThanKSharesSeeTheSameColumnsForEitherColour)
{
    for (const SchemeChoice& choice : OfferedSchemes()) {
        const Scheme s = Get(choice.family, choice.k, choice.n, choice.variant);
        SCOPED_TRACE(DescribeScheme(s));
        ASSERT_EQ(s.white.size(), s.black.size());
        for (std::uint8_t mask : SubsetsOf(choice.n, choice.k - 1))
            ASSERT_EQ(Restricted(s.white, mask), Restricted(s.black, mask)) << int(mask);
        const auto m = static_cast<std::int64_t>(s.white.size());
        for (std::uint8_t mask : SubsetsOf(choice.n, choice.k)) {
            ASSERT_EQ(Fraction::Of(BlackOn(s.white, mask), m), s.promise.blackOfWhite) << int(mask);
            ASSERT_EQ(Fraction::Of(BlackOn(s.black, mask), m), s.promise.blackOfBlack) << int(mask);
        }
        EXPECT_GT(s.promise.contrast.num, 0);
    }
}

TEST(SchemeCatalogue, RefusesWhatNoFamilyOffersAndSaysWhatIs)
{
    std::string refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::NaorShamir, 3, 7, 0}, &refusal));
    EXPECT_NE(refusal.find("3 <= k < n <= 6"), std::string::npos) << refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::NaorShamir, 2, 2, 1}, &refusal));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::RandomGrid, 2, 3, 1}, &refusal));
    EXPECT_NE(refusal.find("--variant 1, 2 or 3 for (2, 2) only"), std::string::npos) << refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::RandomGrid, 2, 2, 4}, nullptr));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::RandomGrid, 2, 9, 0}, nullptr));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::Probabilistic, 1, 2, 0}, nullptr));
    EXPECT_FALSE(FamilyNamed("random"));
    EXPECT_EQ(FamilyNamed("random-grid"), SchemeFamily::RandomGrid);
}

TEST(RandomSource, ASeedRepeatsItsStreamAndTheSystemNever)
{
    const auto bytes = [](CRandomSource& source) {
        std::vector<std::uint8_t> b(100000);
        EXPECT_TRUE(source.Fill(b.data(), 7));  // a short fill first: batches join seamlessly
        EXPECT_TRUE(source.Fill(b.data() + 7, b.size() - 7));
        return b;
    };
    const auto a = bytes(*CChaChaRandomSource::FromSeed(1));
    EXPECT_EQ(a, bytes(*CChaChaRandomSource::FromSeed(1)));
    EXPECT_NE(a, bytes(*CChaChaRandomSource::FromSeed(2)));
    EXPECT_NE(bytes(*CChaChaRandomSource::FromSystem()), bytes(*CChaChaRandomSource::FromSystem()));
}

namespace {
// Shares of a secret whose left half is black and right half white.
struct MadeShares {
    ShareGeometry geometry;
    std::vector<std::uint8_t> secret;
    std::vector<std::vector<std::uint8_t>> shares;

    bool Black(std::size_t x) const { return x < geometry.width / 2; }
    // The cell (col, row) of pixel (x, y)'s block, stacked over the shares of `mask`.
    bool StackedBlack(std::uint8_t mask, std::size_t x, std::size_t y, int cell) const
    {
        const std::size_t col = x * geometry.blockWidth + cell % geometry.blockWidth;
        const std::size_t row = y * geometry.blockHeight + cell / geometry.blockWidth;
        for (std::size_t i = 0; i < shares.size(); ++i)
            if ((mask >> i & 1) && shares[i][row * geometry.ShareStride() + col] == 0)
                return true;
        return false;
    }
};

MadeShares Make(const Scheme& scheme, std::size_t width, std::size_t height, std::uint32_t seed)
{
    MadeShares made{{width, height, scheme.promise.blockWidth, scheme.promise.blockHeight}, {}, {}};
    made.secret.assign(made.geometry.SecretStride() * height, 0);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x)
            made.secret[y * made.geometry.SecretStride() + x] = made.Black(x) ? 0 : 255;
    made.shares.assign(static_cast<std::size_t>(scheme.choice.n),
                       std::vector<std::uint8_t>(made.geometry.ShareStride() * made.geometry.ShareHeight(), 0));
    std::vector<std::uint8_t*> out;
    for (auto& share : made.shares)
        out.push_back(share.data());
    auto random = CChaChaRandomSource::FromSeed(seed);
    EXPECT_TRUE(MakeShareMaker(scheme, width, height, *random)->Make(made.secret.data(), out.data()));
    return made;
}
}  // namespace

// Each block holds the basis of its pixel's colour in some order, padding white in every share, so
// stacked blocks have exactly the promised black counts. Tabled and shuffled bases alike.
TEST(ShareMaker, NaorShamirBlocksArePermutedBasisMatrices)
{
    for (const auto& [k, n] : {std::pair{2, 2}, {2, 3}, {3, 3}, {3, 4}, {2, 5}, {4, 4}, {3, 5}, {4, 6}, {2, 7}, {8, 8}}) {
        const Scheme s = Get(SchemeFamily::NaorShamir, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares made = Make(s, 6, 3, 9);
        const int cells = s.promise.blockWidth * s.promise.blockHeight;
        for (std::size_t y = 0; y < 3; ++y)
            for (std::size_t x = 0; x < 6; ++x) {
                Columns block;
                for (int cell = 0; cell < cells; ++cell) {
                    std::uint8_t column = 0;
                    for (int i = 0; i < n; ++i)
                        column |= static_cast<std::uint8_t>(made.StackedBlack(static_cast<std::uint8_t>(1u << i), x, y, cell) << i);
                    if (cell < s.promise.subpixels)
                        block.push_back(column);
                    else
                        ASSERT_EQ(column, 0) << "padding";
                }
                Columns basis = made.Black(x) ? s.black : s.white;
                std::sort(block.begin(), block.end());
                std::sort(basis.begin(), basis.end());
                ASSERT_EQ(block, basis) << x << "," << y;
            }
    }
}

// Size-kept shares: k stacked give the promised black shares within a few percent on a large frame,
// and each k - 1 shown alone look alike over black and white. The XOR of Shyu's grids is the secret.
TEST(ShareMaker, SizeKeptSharesShowTheirContrastOnAverageAndHideFromFewerThanK)
{
    const std::size_t w = 512, h = 256;
    const double half = static_cast<double>(w / 2 * h);
    for (const auto& [family, k, n, v] : {std::tuple{SchemeFamily::RandomGrid, 2, 2, 2}, {SchemeFamily::RandomGrid, 2, 2, 3},
                                         {SchemeFamily::RandomGrid, 3, 3, 0}, {SchemeFamily::RandomGrid, 3, 5, 0},
                                         {SchemeFamily::Probabilistic, 3, 4, 0}, {SchemeFamily::Probabilistic, 2, 3, 0}}) {
        const Scheme s = Get(family, k, n, v);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares made = Make(s, w, h, 4);
        const auto blackShare = [&](std::uint8_t mask, bool blackSide) {
            double black = 0;
            for (std::size_t y = 0; y < h; ++y)
                for (std::size_t x = 0; x < w; ++x)
                    black += made.Black(x) == blackSide && made.StackedBlack(mask, x, y, 0);
            return black / half;
        };
        for (std::uint8_t mask : SubsetsOf(n, k)) {
            EXPECT_NEAR(blackShare(mask, false), s.promise.blackOfWhite.Value(), 0.01);
            EXPECT_NEAR(blackShare(mask, true), s.promise.blackOfBlack.Value(), 0.01);
        }
        for (std::uint8_t mask : SubsetsOf(n, k - 1))
            EXPECT_NEAR(blackShare(mask, false), blackShare(mask, true), 0.01);
    }
    for (int n = 2; n <= 8; n += 3) {
        const MadeShares made = Make(Get(SchemeFamily::RandomGrid, n, n), 37, 5, 1);
        std::vector<std::uint8_t> xored(made.secret.size(), 0);
        for (const auto& share : made.shares)
            for (std::size_t i = 0; i < xored.size(); ++i)
                xored[i] ^= share[i] == 0;
        for (std::size_t y = 0; y < 5; ++y)
            for (std::size_t x = 0; x < 37; ++x)
                ASSERT_EQ(xored[y * made.geometry.SecretStride() + x], made.Black(x) ? 1 : 0) << n;
    }
}

// However many pixels a table key covers (none, one or two), and wherever a row's last run is
// cut short, every pixel gets the outcome its own draw picks, as drawn pixel by pixel: the o-th
// order of its colour's columns (or the o-th column) in its block, white padding after.
TEST(ShareMaker, TabledRunsWriteWhatEachPixelsDrawPicks)
{
    for (const auto& [family, k, n, run] : {std::tuple{SchemeFamily::RandomGrid, 3, 5, 0}, {SchemeFamily::Probabilistic, 3, 4, 0},
                                           {SchemeFamily::NaorShamir, 2, 5, 1}, {SchemeFamily::NaorShamir, 3, 3, 2},
                                           {SchemeFamily::NaorShamir, 2, 2, 2}}) {
        const Scheme s = Get(family, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const std::size_t w = 7, h = 3;
        const ShareGeometry g{w, h, s.promise.blockWidth, s.promise.blockHeight};
        std::vector<std::uint8_t> secret(g.SecretStride() * h);
        for (std::size_t i = 0; i < secret.size(); ++i)
            secret[i] = (i * 5 + i / 3) % 2 == 0 ? 0 : 255;
        std::vector<std::vector<std::uint8_t>> shares(static_cast<std::size_t>(n),
                                                      std::vector<std::uint8_t>(g.ShareStride() * g.ShareHeight()));
        std::vector<std::uint8_t*> out;
        for (auto& share : shares)
            out.push_back(share.data());
        auto random = CChaChaRandomSource::FromSeed(3);
        CTableShareMaker maker(s, g, *random);
        ASSERT_EQ(maker.GetRunLength(), run);
        ASSERT_TRUE(maker.Make(secret.data(), out.data()));

        auto again = CChaChaRandomSource::FromSeed(3);
        CUniformDraws uniform(*again);
        const bool oneColumn = s.layout == SchemeLayout::OneColumn;
        std::uint32_t orders = 1;
        for (std::uint32_t i = 2; i <= s.white.size(); ++i)
            orders *= i;
        std::vector<std::uint16_t> draws(w);
        for (std::size_t y = 0; y < h; ++y) {
            ASSERT_TRUE(uniform.Draw(draws.data(), w, oneColumn ? static_cast<std::uint32_t>(s.white.size()) : orders));
            for (std::size_t x = 0; x < w; ++x) {
                const Columns& basis = secret[y * g.SecretStride() + x] == 0 ? s.black : s.white;
                std::vector<std::size_t> order(basis.size());  // the columns' indices, permuted
                for (std::size_t c = 0; c < order.size(); ++c)
                    order[c] = c;
                for (std::uint16_t o = 0; !oneColumn && o < draws[x]; ++o)
                    std::next_permutation(order.begin(), order.end());
                Columns columns;
                for (const std::size_t c : order)
                    columns.push_back(basis[c]);
                if (oneColumn)
                    columns = {basis[draws[x]]};
                for (int cell = 0; cell < g.blockWidth * g.blockHeight; ++cell)
                    for (int i = 0; i < n; ++i) {
                        const bool black = cell < static_cast<int>(columns.size()) && (columns[cell] >> i & 1);
                        const std::size_t at = (y * g.blockHeight + cell / g.blockWidth) * g.ShareStride() +
                                               x * g.blockWidth + cell % g.blockWidth;
                        ASSERT_EQ(shares[i][at], black ? 0 : 255) << x << "," << y << " cell " << cell << " share " << i;
                    }
            }
        }
    }
}

// The shuffled blocks of wide bases are those of a plain Fisher-Yates shuffle of the columns'
// order, each pixel's from the last pixel's, one uniform draw a step: a seed keeps its shares.
TEST(ShareMaker, ShuffledBlocksAreAFisherYatesShuffleFromTheLastOrder)
{
    for (const auto& [k, n] : {std::pair{2, 7}, {3, 6}, {5, 5}}) {
        const Scheme s = Get(SchemeFamily::NaorShamir, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares made = Make(s, 9, 4, 5);
        auto random = CChaChaRandomSource::FromSeed(5);
        CUniformDraws uniform(*random);
        std::vector<std::size_t> order(s.white.size());
        for (std::size_t c = 0; c < order.size(); ++c)
            order[c] = c;
        for (std::size_t y = 0; y < 4; ++y)
            for (std::size_t x = 0; x < 9; ++x) {
                for (std::size_t i = order.size() - 1; i > 0; --i) {
                    std::uint32_t j = 0;
                    ASSERT_TRUE(uniform.DrawOne(static_cast<std::uint32_t>(i + 1), j));
                    std::swap(order[i], order[j]);
                }
                const Columns& basis = made.Black(x) ? s.black : s.white;
                for (std::size_t cell = 0; cell < order.size(); ++cell)
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(made.StackedBlack(static_cast<std::uint8_t>(1u << i), x, y, static_cast<int>(cell)),
                                  (basis[order[cell]] >> i & 1) != 0)
                            << x << "," << y << " cell " << cell << " share " << i;
            }
    }
}

// A frame made a band of rows at a time, in bands of any height, is the frame made whole: the
// shares' memory can be a band whatever the frame, and a seed still gives the same shares.
TEST(ShareMaker, FramesMadeBandByBandAreTheFramesMadeWhole)
{
    for (const auto& [family, k, n] : {std::tuple{SchemeFamily::NaorShamir, 3, 3}, {SchemeFamily::NaorShamir, 3, 6},
                                      {SchemeFamily::RandomGrid, 2, 4}, {SchemeFamily::NaorShamir, 6, 6}}) {
        const Scheme s = Get(family, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares whole = Make(s, 11, 7, 2);
        const ShareGeometry& g = whole.geometry;
        auto random = CChaChaRandomSource::FromSeed(2);
        const auto maker = MakeShareMaker(s, g.width, g.height, *random);
        ASSERT_TRUE(maker->MakesBands());
        const std::size_t blockRowBytes = g.ShareStride() * static_cast<std::size_t>(g.blockHeight);
        std::vector<std::vector<std::uint8_t>> band(whole.shares.size(), std::vector<std::uint8_t>(3 * blockRowBytes));
        std::vector<std::uint8_t*> out;
        for (auto& share : band)
            out.push_back(share.data());
        for (std::size_t y = 0, rows = 1; y < g.height; y += rows, rows = rows % 3 + 1) {
            rows = std::min(rows, g.height - y);
            ASSERT_TRUE(maker->MakeBand(whole.secret.data(), y, rows, out.data()));
            for (std::size_t i = 0; i < band.size(); ++i)
                ASSERT_TRUE(std::equal(band[i].begin(), band[i].begin() + static_cast<std::ptrdiff_t>(rows * blockRowBytes),
                                       whole.shares[i].begin() + static_cast<std::ptrdiff_t>(y * blockRowBytes)))
                    << "share " << i << " band at " << y;
        }
    }
}
