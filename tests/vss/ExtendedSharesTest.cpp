// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ExtendedShares.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "vss/RandomSource.h"

using namespace extended_shares;

namespace {
// One row of `width` pixels: pixel x has combination x / run % 8, so each combination takes runs of
// `run` pixels. Rows are padded to a multiple of 4 with zero bytes.
struct Frames {
    std::size_t width;
    std::size_t stride;
    std::vector<std::uint8_t> secret, cover1, cover2;
};

Frames CombinationRow(std::size_t width, std::size_t run)
{
    Frames f{width, (width + 3) / 4 * 4, {}, {}, {}};
    f.secret.assign(f.stride, 0);
    f.cover1.assign(f.stride, 0);
    f.cover2.assign(f.stride, 0);
    for (std::size_t x = 0; x < width; ++x) {
        const std::size_t c = x / run % 8;
        f.secret[x] = c & 4 ? 0 : 255;
        f.cover1[x] = c & 2 ? 0 : 255;
        f.cover2[x] = c & 1 ? 0 : 255;
    }
    return f;
}

struct Shares {
    std::size_t stride;
    std::vector<std::uint8_t> share1, share2;
    // Pixel x's block as a 4-bit mask of black subpixels (bit 0 top-left ... bit 3 bottom-right).
    int Block(const std::vector<std::uint8_t>& share, std::size_t x) const
    {
        const std::uint8_t v[4] = {share[2 * x], share[2 * x + 1], share[stride + 2 * x], share[stride + 2 * x + 1]};
        int mask = 0;
        for (int j = 0; j < 4; ++j)
            mask |= (v[j] == 0) << j;
        return mask;
    }
};

// Random bytes as a test gives them.
class CFunctionSource final : public CRandomSource {
public:
    explicit CFunctionSource(std::function<bool(std::uint8_t*, std::size_t)> fill) : m_fill(std::move(fill)) {}
    bool Fill(std::uint8_t* bytes, std::size_t count) override { return m_fill(bytes, count); }

private:
    std::function<bool(std::uint8_t*, std::size_t)> m_fill;
};

Shares MakeShares(const Frames& f, std::function<bool(std::uint8_t*, std::size_t)> fill)
{
    CFunctionSource random(std::move(fill));
    CExtendedShareMaker maker;
    EXPECT_TRUE(maker.Prepare(f.width, 1, f.stride));
    Shares s{(2 * f.width + 3) / 4 * 4, {}, {}};
    s.share1.assign(2 * s.stride, 0);
    s.share2.assign(2 * s.stride, 0);
    EXPECT_TRUE(maker.Make(f.secret.data(), f.cover1.data(), f.cover2.data(), random, s.share1.data(), s.share2.data()));
    return s;
}

// Bytes 0, 1, ..., 23, 0, ...: with runs of 24 pixels each combination meets every permutation once.
std::function<bool(std::uint8_t*, std::size_t)> EveryPermutation()
{
    return [next = 0](std::uint8_t* bytes, std::size_t count) mutable {
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<std::uint8_t>(next++ % kPermutations);
        return true;
    };
}

int Weight(int mask)
{
    return __builtin_popcount(static_cast<unsigned>(mask));
}
}  // namespace

TEST(ExtendedShares, EveryCombinationHasItsBlackCountsInEachShareAndTheStack)
{
    const Frames f = CombinationRow(8 * 24 + 5, 24);
    const Shares s = MakeShares(f, EveryPermutation());
    for (std::size_t x = 0; x < f.width; ++x) {
        const int c = Combination(f.secret[x], f.cover1[x], f.cover2[x]);
        const int b1 = s.Block(s.share1, x), b2 = s.Block(s.share2, x);
        ASSERT_EQ(Weight(b1), kBlackInShare[(c >> 1) & 1]) << "pixel " << x;
        ASSERT_EQ(Weight(b2), kBlackInShare[c & 1]) << "pixel " << x;
        ASSERT_EQ(Weight(b1 | b2), kBlackInStack[c >> 2]) << "pixel " << x;
    }
    // Alignment bytes stay 0 and every subpixel is black or white.
    for (std::size_t i = 0; i < s.stride; ++i) {
        const std::uint8_t v = s.share1[i];
        EXPECT_TRUE(i >= 2 * f.width ? v == 0 : v == 0 || v == 255) << i;
    }
}

// Over all 24 permutations a share's block takes each pattern of its cover's weight equally often,
// and the stack each pattern of the secret's weight, whatever the other colours are.
TEST(ExtendedShares, OverEveryPermutationPatternsDependOnlyOnTheirOwnPicture)
{
    {
        const Frames f = CombinationRow(8 * 24, 24);
        const Shares s = MakeShares(f, EveryPermutation());
        for (int c = 0; c < 8; ++c) {
            std::map<int, int> counts1, counts2, stack;
            for (std::size_t x = static_cast<std::size_t>(c) * 24; x < static_cast<std::size_t>(c + 1) * 24; ++x) {
                ++counts1[s.Block(s.share1, x)];
                ++counts2[s.Block(s.share2, x)];
                ++stack[s.Block(s.share1, x) | s.Block(s.share2, x)];
            }
            // 6 patterns of weight 2, 4 of weight 3, 1 of weight 4.
            const auto expectUniform = [&](const std::map<int, int>& counts, int patterns, const char* what) {
                EXPECT_EQ(static_cast<int>(counts.size()), patterns) << what << " of combination " << c;
                for (const auto& [pattern, n] : counts)
                    EXPECT_EQ(n, 24 / patterns) << what << " of combination " << c << ", pattern " << pattern;
            };
            expectUniform(counts1, c & 2 ? 4 : 6, "share 1");
            expectUniform(counts2, c & 1 ? 4 : 6, "share 2");
            expectUniform(stack, c & 4 ? 1 : 4, "stack");
        }
    }
}

// With real random bytes, on a large frame: the patterns of one share have the same frequencies
// for every secret and other cover.
TEST(ExtendedShares, RandomPatternsOfAShareAreUniformOnALargeFrame)
{
    std::mt19937 engine(20240613);
    const auto random = [&](std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<std::uint8_t>(engine());
        return true;
    };
    const std::size_t run = 12000;
    const Frames f = CombinationRow(8 * run, run);
    const Shares s = MakeShares(f, random);
    for (int c = 0; c < 8; ++c) {
        std::array<int, 16> counts{};
        for (std::size_t x = static_cast<std::size_t>(c) * run; x < static_cast<std::size_t>(c + 1) * run; ++x)
            ++counts[static_cast<std::size_t>(s.Block(s.share1, x))];
        const int patterns = c & 2 ? 4 : 6;
        const double expected = static_cast<double>(run) / patterns;
        for (int mask = 0; mask < 16; ++mask) {
            if (Weight(mask) == kBlackInShare[(c >> 1) & 1])  // within five standard deviations
                EXPECT_NEAR(counts[mask], expected, 5 * std::sqrt(expected)) << "combination " << c << " mask " << mask;
            else
                EXPECT_EQ(counts[mask], 0);
        }
    }
}

// Bytes from 240 up would favour the first 16 permutations: they are never used, the next byte
// below 240 is. Here every byte is 255 until, after 1000, they are all 5.
TEST(ExtendedShares, BytesOf240AndMoreAreDrawnAgain)
{
    const Frames f = CombinationRow(8 * 30, 30);
    const Shares s = MakeShares(f, [given = std::size_t{0}](std::uint8_t* bytes, std::size_t count) mutable {
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = given++ < 1000 ? 255 : 5;
        return true;
    });
    const Shares five = MakeShares(f, [](std::uint8_t* bytes, std::size_t count) {
        std::fill_n(bytes, count, std::uint8_t{5});
        return true;
    });
    EXPECT_EQ(s.share1, five.share1);
    EXPECT_EQ(s.share2, five.share2);
}

TEST(ExtendedShares, RandomBytesThatRunDryFailTheFrame)
{
    const Frames f = CombinationRow(10, 1);
    CExtendedShareMaker maker;
    ASSERT_TRUE(maker.Prepare(f.width, 1, f.stride));
    std::vector<std::uint8_t> share1(2 * 20, 0), share2(2 * 20, 0);
    CFunctionSource dry([](std::uint8_t*, std::size_t) { return false; });
    EXPECT_FALSE(maker.Make(f.secret.data(), f.cover1.data(), f.cover2.data(), dry, share1.data(), share2.data()));
}

// A frame's cells made a band of rows at a time, spread, are the frame made whole, from the same
// random bytes.
TEST(ExtendedShares, CellsMadeBandByBandGiveTheFramesMadeWhole)
{
    constexpr std::size_t kWidth = 37, kHeight = 7;
    // Every combination in every row, a pixel further on each row.
    Frames f{kWidth, (kWidth + 3) / 4 * 4, {}, {}, {}};
    const Frames row = CombinationRow(f.stride + kHeight, 1);
    for (std::size_t y = 0; y < kHeight; ++y) {
        f.secret.insert(f.secret.end(), row.secret.begin() + y, row.secret.begin() + y + f.stride);
        f.cover1.insert(f.cover1.end(), row.cover1.begin() + y, row.cover1.begin() + y + f.stride);
        f.cover2.insert(f.cover2.end(), row.cover2.begin() + y, row.cover2.begin() + y + f.stride);
    }
    const std::size_t stride = (2 * f.width + 3) / 4 * 4;
    std::vector<std::uint8_t> whole1(2 * kHeight * stride), whole2(whole1.size());
    CExtendedShareMaker maker;
    ASSERT_TRUE(maker.Prepare(f.width, kHeight, f.stride));
    auto random = CChaChaRandomSource::FromSeed(3);
    ASSERT_TRUE(maker.Make(f.secret.data(), f.cover1.data(), f.cover2.data(), *random, whole1.data(), whole2.data()));

    CExtendedShareMaker bands;
    ASSERT_TRUE(bands.Prepare(f.width, kHeight, f.stride));
    random = CChaChaRandomSource::FromSeed(3);
    std::vector<std::uint8_t> cells(3 * 2 * bands.GetPitch());
    std::vector<std::uint8_t> band1(3 * 2 * stride), band2(band1.size());
    for (std::size_t y = 0, rows = 1; y < kHeight; y += rows, rows = rows % 3 + 1) {
        rows = std::min(rows, kHeight - y);
        ASSERT_TRUE(bands.MakeCells(f.secret.data(), f.cover1.data(), f.cover2.data(), *random, y, rows, cells.data()));
        const CellRows made{cells.data(), bands.GetPitch(), 2 * f.width, 2 * rows};
        made.Spread(0, band1.data(), stride);
        made.Spread(1, band2.data(), stride);
        const auto at = static_cast<std::ptrdiff_t>(2 * y * stride), bytes = static_cast<std::ptrdiff_t>(2 * rows * stride);
        EXPECT_TRUE(std::equal(band1.begin(), band1.begin() + bytes, whole1.begin() + at)) << "band at " << y;
        EXPECT_TRUE(std::equal(band2.begin(), band2.begin() + bytes, whole2.begin() + at)) << "band at " << y;
    }
}
