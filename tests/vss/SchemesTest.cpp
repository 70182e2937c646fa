// SPDX-License-Identifier: GPL-3.0-or-later
// The schemes of the catalogue against their papers' contrasts, and the shares their makers write.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

#include "vss/BatchedDraws.h"
#include "vss/CellShareMaker.h"
#include "vss/PermutingShareMaker.h"
#include "vss/RandomSource.h"
#include "vss/SchemeCatalogue.h"
#include "vss/ShareMaker.h"
#include "vss/SplitOrders.h"
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

// Columns that show black on the shares of `mask`: stacked, or XORed for the xor family.
int BlackOn(const Columns& columns, std::uint8_t mask, bool xored = false)
{
    return static_cast<int>(std::count_if(columns.begin(), columns.end(), [&](std::uint8_t c) {
        return xored ? std::popcount(static_cast<unsigned>(c & mask)) % 2 == 1 : (c & mask) != 0;
    }));
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

// Light contrast of Wu and Sun's grids, counted over every way to deal the n - k copies and pick k
// of the n shares: with all k grid bits among them, white lets light through with chance
// 2^-(k-1) and black never; with j < k distinct bits, both with chance 2^-j.
Fraction WuSunContrast(int k, int n)
{
    std::int64_t deals = 1;
    for (int i = k; i < n; ++i)
        deals *= k;
    std::int64_t allBits = 0, draws = 0, blackLight = 0;  // blackLight in units of 2^-k
    for (std::int64_t deal = 0; deal < deals; ++deal) {
        std::vector<int> label(static_cast<std::size_t>(n));  // which grid bit share i holds
        std::int64_t rest = deal;
        for (int i = 0; i < n; ++i) {
            label[static_cast<std::size_t>(i)] = i < k ? i : static_cast<int>(rest % k);
            rest = i < k ? rest : rest / k;
        }
        for (std::uint8_t mask : SubsetsOf(n, k)) {
            unsigned seen = 0;
            for (int i = 0; i < n; ++i)
                if (mask >> i & 1)
                    seen |= 1u << label[static_cast<std::size_t>(i)];
            const int distinct = std::popcount(seen);
            ++draws;
            allBits += distinct == k;
            if (distinct < k)
                blackLight += std::int64_t{1} << (k - distinct);
        }
    }
    // (q / 2^(k-1)) / (1 + T(black)), q = allBits / draws, T(black) = blackLight / (2^k draws).
    const std::int64_t twoK = std::int64_t{1} << k;
    return Fraction::Of(allBits * 2, twoK * draws + blackLight);
}
}  // namespace

TEST(SchemeCatalogue, PromisesAreThePublishedContrasts)
{
    for (int n = 3; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const SchemePromise nn = Get(SchemeFamily::NaorShamir, n, n).promise;
        EXPECT_EQ(nn.subpixels, 1 << (n - 1));
        EXPECT_EQ(nn.contrast, Fraction::Of(1, 1 << (n - 1)));
        // Blundo, De Santis and Stinson's optimum for (2, n): floor(n/2) ceil(n/2) / (n (n - 1)).
        const SchemePromise twoN = Get(SchemeFamily::NaorShamir, 2, n).promise;
        EXPECT_EQ(twoN.contrast, Fraction::Of((n / 2) * ((n + 1) / 2), n * (n - 1)));
        EXPECT_EQ(Get(SchemeFamily::RandomGrid, n, n).promise.contrast, Fraction::Of(1, 1 << (n - 1)));
        EXPECT_EQ(Get(SchemeFamily::Probabilistic, 2, n).promise.contrast, twoN.contrast);
        for (int k = 2; k < n; ++k) {
            const Fraction chenTsao = Get(SchemeFamily::RandomGrid, k, n, kVariantChenTsao).promise.contrast;
            EXPECT_EQ(chenTsao, ChenTsaoContrast(k, n)) << k;
            const Fraction wuSun = Get(SchemeFamily::RandomGrid, k, n).promise.contrast;
            EXPECT_EQ(wuSun, WuSunContrast(k, n)) << k;
            EXPECT_GT(wuSun.Value(), chenTsao.Value()) << k;
        }
        // XOR decoding of the same basis: 2^(k-1) times the stacked contrast, 1 for (n, n).
        for (int k = 2; k <= n; ++k) {
            const Fraction stacked = Get(SchemeFamily::NaorShamir, k, n).promise.contrast;
            const Fraction xored = Get(SchemeFamily::Xor, k, n).promise.contrast;
            EXPECT_EQ(xored, k == 2 && n == 2 ? Fraction::Of(1, 1) : Fraction::Of(stacked.num << (k - 1), stacked.den));
        }
        EXPECT_EQ(Get(SchemeFamily::Xor, n, n).promise.contrast, Fraction::Of(1, 1));
        // Progressive: each share stacked adds 1/n.
        const Scheme progressive = Get(SchemeFamily::Progressive, 2, n);
        for (int t = 2; t <= n; ++t)
            EXPECT_EQ(StackedContrast(progressive, t), Fraction::Of(t - 1, n)) << t;
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
    // The least m found for the optimum: (2, 4) and (2, 7) as Blundo, De Santis and Stinson's, (4, 6)
    // as Hofmeister, Krause and Simon's symmetric one.
    const auto best = [](int k, int n) { return Get(SchemeFamily::NaorShamir, k, n).promise; };
    EXPECT_EQ(best(2, 4).subpixels, 6);
    EXPECT_EQ(best(2, 7).subpixels, 7);
    EXPECT_EQ(best(4, 6).subpixels, 36);
    EXPECT_EQ(best(4, 6).contrast, Fraction::Of(1, 18));
    EXPECT_EQ(best(3, 8).contrast, Fraction::Of(2, 21));
    // Compact variants: fewer subpixels, less contrast; (2, n) as Naor and Shamir's.
    const SchemePromise compact = Get(SchemeFamily::NaorShamir, 4, 6, kVariantCompact).promise;
    EXPECT_EQ(compact.subpixels, 24);
    EXPECT_EQ(compact.contrast, Fraction::Of(1, 24));
    EXPECT_EQ(Get(SchemeFamily::NaorShamir, 2, 8, kVariantCompact).promise.contrast, Fraction::Of(1, 8));
    for (const SchemeChoice& c : OfferedSchemes()) {
        const SchemePromise p = Get(c.family, c.k, c.n, c.variant).promise;
        // Blocks near square and no wider than a 1000-pixel secret can be within a 65535-pixel share.
        EXPECT_GE(p.blockWidth * p.blockHeight, p.subpixels);
        EXPECT_LT(p.blockWidth * p.blockHeight, p.subpixels + p.blockWidth);
        EXPECT_LE(p.blockWidth, 65);
        if (c.variant == kVariantCompact) {
            EXPECT_LT(p.subpixels, best(c.k, c.n).subpixels);
            EXPECT_LT(p.contrast.Value(), best(c.k, c.n).contrast.Value());
        }
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
        const bool xored = choice.family == SchemeFamily::Xor;
        for (std::uint8_t mask : SubsetsOf(choice.n, choice.k)) {
            ASSERT_EQ(Fraction::Of(BlackOn(s.white, mask, xored), m), s.promise.blackOfWhite) << int(mask);
            ASSERT_EQ(Fraction::Of(BlackOn(s.black, mask, xored), m), s.promise.blackOfBlack) << int(mask);
        }
        EXPECT_GT(s.promise.contrast.num, 0);
        // Progressive shares promise more with each share: every t of them alike, as the promise says.
        for (int t = choice.k + 1; choice.family == SchemeFamily::Progressive && t <= choice.n; ++t) {
            const std::uint8_t first = static_cast<std::uint8_t>((1u << t) - 1);
            for (std::uint8_t mask : SubsetsOf(choice.n, t)) {
                ASSERT_EQ(BlackOn(s.white, mask, xored), BlackOn(s.white, first, xored)) << int(mask);
                ASSERT_EQ(BlackOn(s.black, mask, xored), BlackOn(s.black, first, xored)) << int(mask);
            }
        }
    }
}

TEST(SchemeCatalogue, RefusesWhatNoFamilyOffersAndSaysWhatIs)
{
    std::string refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::NaorShamir, 3, 9, 0}, &refusal));
    EXPECT_NE(refusal.find("2 <= k <= n <= 8"), std::string::npos) << refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::NaorShamir, 5, 6, kVariantCompact}, &refusal));
    EXPECT_NE(refusal.find("--variant compact for (2, 4), (2, 5)"), std::string::npos) << refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::Probabilistic, 4, 6, kVariantCompact}, nullptr));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::NaorShamir, 2, 2, 1}, &refusal));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::RandomGrid, 2, 3, 1}, &refusal));
    EXPECT_NE(refusal.find("--variant 1, 2 or 3 for (2, 2) and --variant chen-tsao for k < n"), std::string::npos)
        << refusal;
    EXPECT_FALSE(LookUpScheme({SchemeFamily::RandomGrid, 3, 3, kVariantChenTsao}, nullptr));
    EXPECT_FALSE(LookUpScheme({SchemeFamily::Progressive, 3, 4, 0}, &refusal));
    EXPECT_EQ(refusal, "progressive offers (2, n) for 2 <= n <= 8; no --variant");
    EXPECT_FALSE(LookUpScheme({SchemeFamily::Xor, 2, 3, kVariantCompact}, nullptr));
    EXPECT_EQ(VariantNamed("chen-tsao"), kVariantChenTsao);
    EXPECT_FALSE(VariantNamed("0"));
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

std::uint32_t Factorial(std::size_t m)
{
    std::uint32_t product = 1;
    for (std::size_t i = 2; i <= m; ++i)
        product *= static_cast<std::uint32_t>(i);
    return product;
}

// The columns in the o-th of their orders, the orders in lexicographic order of the indices.
Columns InOrder(const Columns& basis, std::uint32_t o)
{
    std::vector<std::size_t> order(basis.size());
    for (std::size_t c = 0; c < order.size(); ++c)
        order[c] = c;
    for (std::uint32_t i = 0; i < o; ++i)
        std::next_permutation(order.begin(), order.end());
    Columns columns;
    for (const std::size_t c : order)
        columns.push_back(basis[c]);
    return columns;
}

// Each block holds the basis of its pixel's colour in some order, padding white in every share, so
// stacked blocks have exactly the promised black counts. Tabled and shuffled bases alike.
TEST(ShareMaker, NaorShamirBlocksArePermutedBasisMatrices)
{
    for (const auto& [k, n] :
         {std::pair{2, 2}, {2, 3}, {3, 3}, {3, 4}, {2, 5}, {4, 4}, {3, 5}, {5, 5}, {4, 6}, {2, 7}, {8, 8}}) {
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
                                         {SchemeFamily::Probabilistic, 3, 4, 0}, {SchemeFamily::Probabilistic, 2, 3, 0},
                                         {SchemeFamily::RandomGrid, 4, 8, 0}, {SchemeFamily::Xor, 3, 5, 0},
                                         {SchemeFamily::Progressive, 2, 3, 0}}) {
        const Scheme s = Get(family, k, n, v);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares made = Make(s, w, h, 4);
        // Black on the shares of `mask` stacked, or on an odd number of them for xor.
        const auto blackShare = [&](std::uint8_t mask, bool blackSide) {
            double black = 0;
            for (std::size_t y = 0; y < h; ++y)
                for (std::size_t x = 0; x < w; ++x) {
                    bool shown = false;
                    for (int i = 0; i < n; ++i)
                        if (mask >> i & 1) {
                            const bool one = made.StackedBlack(static_cast<std::uint8_t>(1u << i), x, y, 0);
                            shown = family == SchemeFamily::Xor ? shown != one : shown || one;
                        }
                    black += made.Black(x) == blackSide && shown;
                }
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

// However many pixels a table key covers (one or two), and wherever a row's last run is cut
// short, every pixel gets the outcome its own draw picks, as drawn pixel by pixel: the o-th order
// of its colour's columns in its block, white padding after. A seed keeps its shares.
TEST(ShareMaker, TabledRunsWriteWhatEachPixelsDrawPicks)
{
    for (const auto& [k, n, run] : {std::tuple{2, 4, 1}, {3, 3, 2}, {2, 2, 2}}) {
        const Scheme s = Get(SchemeFamily::NaorShamir, k, n);
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
        std::vector<std::uint16_t> draws(w);
        for (std::size_t y = 0; y < h; ++y) {
            ASSERT_TRUE(uniform.Draw(draws.data(), w, Factorial(s.white.size())));
            for (std::size_t x = 0; x < w; ++x) {
                const Columns& basis = secret[y * g.SecretStride() + x] == 0 ? s.black : s.white;
                const Columns columns = InOrder(basis, draws[x]);
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

// Blocks of bases up to eight columns take the order their pixel's number picks; wider ones are
// their colour's basis shuffled (Fisher-Yates) down to the first sixteen cells, those put in the
// order their three numbers pick. Numbers are drawn a row at a time, the orders' before the
// steps'. A seed keeps its shares.
TEST(ShareMaker, PermutedBlocksTakeTheOrdersTheirDrawsPick)
{
    for (const auto& [k, n] : {std::pair{2, 7}, {3, 5}, {3, 6}, {4, 5}, {5, 5}, {6, 6}, {8, 8}}) {
        const Scheme s = Get(SchemeFamily::NaorShamir, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const std::size_t w = 9, m = s.white.size();
        const MadeShares made = Make(s, w, 4, 5);
        auto random = CChaChaRandomSource::FromSeed(5);
        const bool tabled = m <= CPermutingShareMaker::kMaxTabledOrderColumns;
        std::optional<CSplitOrders> split;
        std::vector<std::uint32_t> bounds(CBatchedDraws::PerWord(Factorial(m)), Factorial(m)), stepBounds;
        if (!tabled) {
            split.emplace(std::min(m, CSplitOrders::kPlaces));
            bounds = split->GetBounds();
            for (std::size_t i = m - 1; i >= CSplitOrders::kPlaces; --i)
                stepBounds.push_back(static_cast<std::uint32_t>(i + 1));
        }
        CBatchedDraws draws(*random, bounds);
        std::optional<CBatchedDraws> stepDraws;
        if (!stepBounds.empty())
            stepDraws.emplace(*random, stepBounds);
        const std::size_t rounds = tabled ? (w + bounds.size() - 1) / bounds.size() : w;
        std::vector<std::uint32_t> numbers(rounds * bounds.size());
        std::vector<std::uint8_t> partners(w * stepBounds.size());
        for (std::size_t y = 0; y < 4; ++y) {
            ASSERT_TRUE(draws.Draw(numbers.data(), rounds));
            if (stepDraws) {
                ASSERT_TRUE(stepDraws->Draw(partners.data(), w));
            }
            const std::uint8_t* partner = partners.data();
            for (std::size_t x = 0; x < w; ++x) {
                const Columns& basis = made.Black(x) ? s.black : s.white;
                Columns columns = tabled ? InOrder(basis, numbers[x]) : Columns{};
                if (split) {
                    std::vector<std::size_t> order(m);
                    std::iota(order.begin(), order.end(), 0);
                    for (std::size_t i = m - 1; i >= CSplitOrders::kPlaces; --i, ++partner)
                        std::swap(order[i], order[*partner]);
                    const auto front = split->Order(&numbers[3 * x]);
                    const std::vector<std::size_t> old = order;
                    for (std::size_t p = 0; p < std::min(m, CSplitOrders::kPlaces); ++p)
                        order[p] = old[front[p]];
                    for (const std::size_t c : order)
                        columns.push_back(basis[c]);
                }
                for (std::size_t cell = 0; cell < m; ++cell)
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(made.StackedBlack(static_cast<std::uint8_t>(1u << i), x, y, static_cast<int>(cell)),
                                  (columns[cell] >> i & 1) != 0)
                            << x << "," << y << " cell " << cell << " share " << i;
            }
        }
    }
}

// Split orders are uniform because every order of the m columns comes from exactly one triple of
// numbers: counted whole for 9 and 10 columns, places past m left as padding.
TEST(SplitOrders, EveryOrderComesFromExactlyOneTriple)
{
    for (const std::size_t m : {9u, 10u}) {
        SCOPED_TRACE(m);
        const CSplitOrders split(m);
        const std::vector<std::uint32_t> bounds = split.GetBounds();
        ASSERT_EQ(std::uint64_t{bounds[0]} * bounds[1] * bounds[2], Factorial(m));
        std::vector<std::uint64_t> seen;
        std::uint32_t numbers[3];
        for (numbers[0] = 0; numbers[0] < bounds[0]; ++numbers[0])
            for (numbers[1] = 0; numbers[1] < bounds[1]; ++numbers[1])
                for (numbers[2] = 0; numbers[2] < bounds[2]; ++numbers[2]) {
                    const auto order = split.Order(numbers);
                    std::uint64_t packed = 0, columns = 0;
                    for (std::size_t p = 0; p < m; ++p) {
                        packed = packed << 4 | order[p];
                        columns |= std::uint64_t{1} << order[p];
                    }
                    ASSERT_EQ(columns, (std::uint64_t{1} << m) - 1) << "not an order of the columns";
                    for (std::size_t p = m; p < order.size(); ++p)
                        ASSERT_EQ(order[p], p) << "padding moved";
                    seen.push_back(packed);
                }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "an order drawn twice";
    }
}

// Schemes of one cell a pixel give each pixel the column its number picks, numbers drawn a row at
// a time, however many columns (random grids (4, 8) have 143360, found through slices of 64 of
// them, (5, 8) of 32 and (3, 8) of one), and as the multiplications give them where they are bits
// of the word (2 and 4 columns). Rows long enough that draws fall beside runs' starts in a slice.
TEST(ShareMaker, ColumnsAreTheOnesTheirDrawsPick)
{
    for (const auto& [family, k, n] : {std::tuple{SchemeFamily::RandomGrid, 3, 5}, {SchemeFamily::Probabilistic, 3, 4},
                                      {SchemeFamily::RandomGrid, 4, 8}, {SchemeFamily::RandomGrid, 5, 8},
                                      {SchemeFamily::RandomGrid, 3, 8}, {SchemeFamily::RandomGrid, 2, 2},
                                      {SchemeFamily::Progressive, 2, 4}}) {
        const Scheme s = Get(family, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const std::size_t w = 1009, h = 3;
        const MadeShares made = Make(s, w, h, 6);
        auto random = CChaChaRandomSource::FromSeed(6);
        const auto columns = static_cast<std::uint32_t>(s.white.size());
        CBatchedDraws draws(*random, std::vector<std::uint32_t>(CBatchedDraws::PerWord(columns), columns));
        const std::size_t rounds = (w + draws.GetRoundSize() - 1) / draws.GetRoundSize();
        std::vector<std::uint32_t> numbers(rounds * draws.GetRoundSize());
        for (std::size_t y = 0; y < h; ++y) {
            ASSERT_TRUE(draws.Draw(numbers.data(), rounds));
            for (std::size_t x = 0; x < w; ++x)
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(made.StackedBlack(static_cast<std::uint8_t>(1u << i), x, y, 0),
                              ((made.Black(x) ? s.black : s.white)[numbers[x]] >> i & 1) != 0)
                        << x << "," << y << " share " << i;
        }
    }
}

// A frame made a band of rows at a time, in bands of any height, is the frame made whole: the
// shares' memory can be a band whatever the frame, and a seed still gives the same shares. Bands
// made as cells give the same shares spread.
TEST(ShareMaker, FramesMadeBandByBandAreTheFramesMadeWhole)
{
    for (const auto& [family, k, n] : {std::tuple{SchemeFamily::NaorShamir, 3, 3}, {SchemeFamily::NaorShamir, 3, 6},
                                      {SchemeFamily::RandomGrid, 2, 4}, {SchemeFamily::NaorShamir, 6, 6},
                                      {SchemeFamily::NaorShamir, 3, 5}, {SchemeFamily::RandomGrid, 4, 8}}) {
        const Scheme s = Get(family, k, n);
        SCOPED_TRACE(DescribeScheme(s));
        const MadeShares whole = Make(s, 11, 7, 2);
        const ShareGeometry& g = whole.geometry;
        auto random = CChaChaRandomSource::FromSeed(2);
        const auto maker = MakeShareMaker(s, g.width, g.height, *random);
        ASSERT_TRUE(maker->MakesBands());
        auto* const cellMaker = dynamic_cast<CCellShareMaker*>(maker.get());
        const auto bh = static_cast<std::size_t>(g.blockHeight);
        const std::size_t blockRowBytes = g.ShareStride() * bh;
        const std::size_t pitch = CellPitch(g.ShareWidth());
        std::vector<std::uint8_t> cells(3 * bh * pitch);
        std::vector<std::vector<std::uint8_t>> band(whole.shares.size(), std::vector<std::uint8_t>(3 * blockRowBytes));
        std::vector<std::uint8_t*> out;
        for (auto& share : band)
            out.push_back(share.data());
        for (std::size_t y = 0, rows = 1; y < g.height; y += rows, rows = rows % 3 + 1) {
            rows = std::min(rows, g.height - y);
            if (cellMaker) {
                ASSERT_TRUE(cellMaker->MakeCells(whole.secret.data(), y, rows, cells.data()));
                for (std::size_t i = 0; i < band.size(); ++i)
                    CellRows{cells.data(), pitch, g.ShareWidth(), rows * bh}.Spread(static_cast<int>(i), out[i],
                                                                                    g.ShareStride());
            } else {
                ASSERT_TRUE(maker->MakeBand(whole.secret.data(), y, rows, out.data()));
            }
            for (std::size_t i = 0; i < band.size(); ++i)
                ASSERT_TRUE(std::equal(band[i].begin(), band[i].begin() + static_cast<std::ptrdiff_t>(rows * blockRowBytes),
                                       whole.shares[i].begin() + static_cast<std::ptrdiff_t>(y * blockRowBytes)))
                    << "share " << i << " band at " << y;
        }
    }
}
