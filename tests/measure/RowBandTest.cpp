// SPDX-License-Identifier: GPL-3.0-or-later
// Block patterns read bit for bit for blocks of every kind of shape, and the rows counted by kind
// in bands side by side against the rows every test looks at one by one.

#include "measure/ShareMeasurement.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {
std::vector<BYTE> Noise(std::size_t bytes, std::mt19937& rng)
{
    std::vector<BYTE> frame(bytes);
    for (BYTE& b : frame)
        b = rng() & 1 ? 0 : 255;
    return frame;
}
}  // namespace

TEST(RowBand, PatternsHoldEverySubpixelOfBlocksOfAnyShape)
{
    std::mt19937 rng(11);
    constexpr int secretWidth = 37;  // no whole number of blocks to a word for most shapes
    for (const BlockShape block : {BlockShape{1, 1}, {2, 2}, {3, 3}, {5, 2}, {7, 3}, {8, 8}, {4, 16}, {9, 9}, {13, 5}}) {
        SCOPED_TRACE(std::to_string(block.width) + " x " + std::to_string(block.height));
        const std::size_t stride = static_cast<std::size_t>(secretWidth * block.width + 3);
        const std::vector<BYTE> share = Noise(stride * static_cast<std::size_t>(2 * block.height), rng);
        const auto words = static_cast<std::size_t>(block.Words());
        std::vector<BlockPattern> patterns(secretWidth * words);
        CBlockPatternReader reader(block, secretWidth);
        reader.Read(share.data(), stride, 1, patterns.data());
        int wrong = 0;
        for (int x = 0; x < secretWidth; ++x)
            for (int r = 0; r < block.height; ++r)
                for (int c = 0; c < block.width; ++c) {
                    const auto bit = static_cast<std::size_t>(r * block.width + c);
                    const bool black = share[static_cast<std::size_t>(block.height + r) * stride +
                                             static_cast<std::size_t>(x * block.width + c)] == 0;
                    wrong += black != ((patterns[static_cast<std::size_t>(x) * words + bit / 64] >> bit % 64) & 1);
                }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(RowBand, KindsInBandsAndRowsOneByOneAgreeOverFrames)
{
    // Three noise shares of 3 x 3 blocks are counted by kind in bands; six all-white shares more,
    // which change no stack, take the rows one by one. The secret changes in part between frames.
    std::mt19937 rng(12);
    constexpr int width = 33, height = 29;
    const BlockShape block{3, 3};
    const std::size_t shareStride = width * 3, shareBytes = shareStride * height * 3;
    CShareMeasurement kinds(width, height, block, 3, 1);
    CShareMeasurement rows(width, height, block, 9, 1);
    const std::vector<BYTE> white(shareBytes, 255);
    std::vector<BYTE> secret = Noise(width * height, rng);
    for (int frame = 0; frame < 3; ++frame) {
        for (std::size_t i = 0; i < secret.size(); i += 3)
            secret[i] = rng() & 1 ? 0 : 255;
        std::vector<std::vector<BYTE>> shares;
        for (int s = 0; s < 3; ++s)
            shares.push_back(Noise(shareBytes, rng));
        std::vector<const BYTE*> some{shares[0].data(), shares[1].data(), shares[2].data()};
        std::vector<const BYTE*> all = some;
        all.resize(9, white.data());
        const FrameFigures a = kinds.MeasureFrame(secret.data(), width, some, shareStride);
        const FrameFigures b = rows.MeasureFrame(secret.data(), width, all, shareStride);
        EXPECT_EQ(a.contrast.errorRate, b.contrast.errorRate);
        EXPECT_EQ(a.ssim, b.ssim);
        EXPECT_EQ(a.crawl, b.crawl);
    }
    EXPECT_EQ(kinds.StreamFigures().contrast.alpha, rows.StreamFigures().contrast.alpha);
    // Shares 1 to 3 alone, then across frames.
    const auto& k = kinds.GetLeakTests();
    const auto& r = rows.GetLeakTests();
    ASSERT_EQ(k.size(), 6u);
    ASSERT_EQ(r.size(), 18u);
    for (const auto& [i, j] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 9}, {4, 10}, {5, 11}}) {
        EXPECT_EQ(k[i].view, r[j].view);
        EXPECT_EQ(k[i].test.Darkness(true), r[j].test.Darkness(true));
        ASSERT_TRUE(k[i].test.Test() && r[j].test.Test());
        EXPECT_DOUBLE_EQ(k[i].test.Test()->statistic, r[j].test.Test()->statistic) << i;
    }
}

TEST(RowBand, KindCountsHoldEveryKeyThroughGrowth)
{
    // Keys of every width up to 63 bits, many repeated, added one by one and in rows: the table
    // grows many times over and must lose or merge none.
    std::mt19937_64 rng(13);
    std::vector<std::uint64_t> keys;
    for (int i = 0; i < 30000; ++i)
        keys.push_back(rng() >> (1 + rng() % 63));
    for (int i = 0; i < 30000; ++i)
        keys.push_back(keys[rng() % keys.size()]);
    std::map<std::uint64_t, std::uint64_t> expected;
    for (const std::uint64_t key : keys)
        expected[key] += 2;
    CKindCounts counts;
    counts.AddAll(keys.data(), keys.size());
    for (const std::uint64_t key : keys)
        counts.Add(key);
    std::map<std::uint64_t, std::uint64_t> got;
    counts.ForEach([&](std::uint64_t key, std::uint64_t count) { got[key] += count; });
    EXPECT_EQ(got, expected);
    counts.Clear();
    std::size_t left = 0;
    counts.ForEach([&](std::uint64_t, std::uint64_t) { ++left; });
    EXPECT_EQ(left, 0u);
}

TEST(RowBand, KindCountsZeroedKeepTheirKeysAndCountAfresh)
{
    // A frame's counts zeroed, the next frame's keys, some old and some new, count from 0.
    std::mt19937_64 rng(14);
    std::vector<std::uint64_t> first, second;
    for (int i = 0; i < 5000; ++i)
        first.push_back(rng() >> 20);
    for (int i = 0; i < 5000; ++i)
        second.push_back(i % 2 ? first[rng() % first.size()] : rng() >> 20);
    CKindCounts counts;
    counts.AddAll(first.data(), first.size());
    counts.ZeroCounts();
    counts.AddAll(second.data(), second.size());
    std::map<std::uint64_t, std::uint64_t> expected, got;
    for (const std::uint64_t key : second)
        ++expected[key];
    counts.ForEach([&](std::uint64_t key, std::uint64_t count) { got[key] += count; });
    EXPECT_EQ(got, expected);
}
