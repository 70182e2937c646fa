// SPDX-License-Identifier: GPL-3.0-or-later
// kvt shadows with threshold schemes, and kvt reveal and interlace over many shares, run as a user
// runs them.

#include <gtest/gtest.h>

#include <filesystem>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

using Bytes = std::vector<unsigned char>;

namespace {
class SchemeCommands : public testing::Test {
protected:
    // A 4 x 2 secret of two frames, black and white in each.
    SchemeCommands() { Write("s.kvt", 4, 2, 2, {0, 255, 0, 255, 255, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0}); }
    void Write(const std::string& name, int w, int h, int frames, const Bytes& pixels)
    {
        Bytes bytes = HeaderBytes(w, h, static_cast<std::uint16_t>(frames), static_cast<std::uint32_t>(w * h));
        bytes.insert(bytes.end(), pixels.begin(), pixels.end());
        WriteBytes(dir / name, bytes);
    }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) { return (dir / name).string(); }
    Bytes Pixels(const std::string& name) const
    {
        const Bytes bytes = ReadBytes(dir / name);
        return Bytes(bytes.begin() + 24, bytes.end());
    }

    TempDir dir;
};
}  // namespace

TEST_F(SchemeCommands, RandomGridThreeOfFiveWritesFiveSharesOfTheSecretsSize)
{
    const KvtRun run = Kvt({"shadows", At("s.kvt"), "--scheme", "random-grid", "-k", "3", "-n", "5", "--seed", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string expected = "scheme: random-grid (3, 5): Wu-Sun (k, n) random grids: T(white) - T(black) = q / "
                           "2^(k-1), q the chance that k shares hold all k bits of the grid, light contrast 11/140\n"
                           "seed: 4\n";
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "s-Shadow" + std::to_string(i) + ".kvt";
        expected += At(name) + "\n";
        EXPECT_EQ(ReadBytes(dir / name).size(), 24u + 16) << name;
    }
    EXPECT_EQ(run.out, expected);
    // The same seed, the same shares.
    const Bytes first = Pixels("s-Shadow2.kvt");
    ASSERT_EQ(Kvt({"shadows", At("s.kvt"), "--scheme", "random-grid", "-k", "3", "-n", "5", "--seed", "4"}).status, 0);
    EXPECT_EQ(Pixels("s-Shadow2.kvt"), first);
}

// Seeded shares draw on from frame to frame: a secret that stays the same gets new patterns, each
// cell of share 1 agreeing with the frame before about as often as two random cells do.
TEST_F(SchemeCommands, SeededSharesRepeatNothingAcrossFrames)
{
    const int side = 64;
    Write("still.kvt", side, side, 2, Bytes(2 * side * side, 0));
    for (const std::vector<std::string>& scheme : {std::vector<std::string>{"--scheme", "random-grid", "-k", "3", "-n", "5"},
                                                   {"-k", "3", "-n", "4"}, {"--scheme", "progressive", "-n", "3"},
                                                   {"--scheme", "xor", "-k", "2", "-n", "3"}}) {
        std::vector<std::string> args = {"shadows", At("still.kvt"), "--seed", "7"};
        args.insert(args.end(), scheme.begin(), scheme.end());
        ASSERT_EQ(Kvt(args).status, 0) << scheme[1];
        const Bytes share = Pixels("still-Shadow1.kvt");
        const std::size_t frame = share.size() / 2;
        std::size_t same = 0, black = 0;
        for (std::size_t i = 0; i < frame; ++i) {
            same += share[i] == share[frame + i];
            black += share[i] == 0;
        }
        const double p = static_cast<double>(black) / static_cast<double>(frame);
        EXPECT_NEAR(static_cast<double>(same) / static_cast<double>(frame), p * p + (1 - p) * (1 - p), 0.03)
            << scheme[1];
    }
}

TEST_F(SchemeCommands, XorOfShyuGridsIsTheSecretAndStackingIsBlackWhereAnyShareIs)
{
    ASSERT_EQ(Kvt({"shadows", At("s.kvt"), "--scheme", "random-grid", "-k", "4", "-n", "4"}).status, 0);
    const std::vector<std::string> shares = {At("s-Shadow1.kvt"), At("s-Shadow2.kvt"), At("s-Shadow3.kvt"),
                                             At("s-Shadow4.kvt")};
    std::vector<std::string> args = {"reveal"};
    args.insert(args.end(), shares.begin(), shares.end());
    args.insert(args.end(), {"--xor", "-o", At("x.kvt")});
    ASSERT_EQ(Kvt(args).status, 0);
    EXPECT_EQ(ReadBytes(dir / "x.kvt"), ReadBytes(dir / "s.kvt"));
    args.erase(args.end() - 3);
    ASSERT_EQ(Kvt(args).status, 0);
    const Bytes stacked = Pixels("x.kvt");
    for (std::size_t i = 0; i < stacked.size(); ++i) {
        bool anyBlack = false;
        for (int s = 1; s <= 4; ++s)
            anyBlack |= Pixels("s-Shadow" + std::to_string(s) + ".kvt")[i] == 0;
        EXPECT_EQ(stacked[i], anyBlack ? 0 : 255) << i;
    }
}

TEST_F(SchemeCommands, NaorShamirSharesAreTheSecretTimesTheBlock)
{
    const KvtRun run = Kvt({"shadows", At("s.kvt"), "-k", "3", "-n", "4", "--out-dir", dir.Path().string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "scheme: naor-shamir (3, 4): column weights at the optimum (white 2 x w0, w3; black w1, 2 x w4), m = "
              "6 in 3 x 2 blocks, relative difference 1/6");
    EXPECT_EQ(ReadBytes(dir / "s-Shadow4.kvt").size(), 24u + 2 * (12 * 4));
    EXPECT_FALSE(std::filesystem::exists(dir / "s-Shadow5.kvt"));
}

TEST_F(SchemeCommands, RefusalsAreUsageErrorsThatSayWhatIsAllowed)
{
    const auto refusal = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"shadows", At("s.kvt")});
        const KvtRun run = Kvt(options);
        EXPECT_EQ(run.status, 2);
        return run.err;
    };
    EXPECT_EQ(refusal({"-k", "4", "-n", "3"}), "kvt shadows: -k 4 needs at least as many shares (-n 3)\n");
    EXPECT_EQ(refusal({"-n", "9"}), "kvt shadows: naor-shamir (2, 9) is not offered: naor-shamir offers (k, n) for 2 "
                                    "<= k <= n <= 8, and --variant compact for (2, 4), (2, 5), (2, 6), (4, 6), (3, "
                                    "7), (4, 7), (2, 8), (3, 8), (4, 8), (5, 8), (6, 8) only\n");
    EXPECT_EQ(refusal({"--scheme", "probabilistic", "-k", "3", "-n", "4", "--variant", "compact"}),
              "kvt shadows: probabilistic (3, 4) --variant compact is not offered: probabilistic offers (k, n) for 2 "
              "<= k <= n <= 8; no --variant\n");
    EXPECT_EQ(refusal({"--scheme", "random-grid", "-n", "3", "--variant", "2"}),
              "kvt shadows: random-grid (2, 3) --variant 2 is not offered: random-grid offers (k, n) for 2 <= k <= "
              "n <= 8, --variant 1, 2 or 3 for (2, 2) and --variant chen-tsao for k < n\n");
    EXPECT_NE(refusal({"--variant", "3"}).find("--variant compact for"), std::string::npos);
    EXPECT_EQ(refusal({"--variant", "one"}), "kvt shadows: --variant takes 1, 2, 3, compact or chen-tsao\n");
    EXPECT_EQ(refusal({"--scheme", "progressive", "-k", "3", "-n", "4"}),
              "kvt shadows: progressive (3, 4) is not offered: progressive offers (2, n) for 2 <= n <= 8; no "
              "--variant\n");
    EXPECT_EQ(refusal({"--scheme", "grid"}),
              "kvt shadows: --scheme takes naor-shamir, random-grid, probabilistic, progressive or xor\n");
}

// A share that can't be saved costs none of the others their old bytes.
TEST_F(SchemeCommands, SharesAreReplacedAllTogetherOrNotAtAll)
{
    for (int i = 1; i <= 2; ++i)
        Write("s-Shadow" + std::to_string(i) + ".kvt", 1, 1, 1, {7});
    std::filesystem::create_directory(dir / "s-Shadow3.kvt");
    const KvtRun run = Kvt({"shadows", At("s.kvt"), "--scheme", "random-grid", "-k", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("File save error: " + At("s-Shadow3.kvt") + ": ", 0), 0u) << run.err;
    for (int i = 1; i <= 2; ++i)
        EXPECT_EQ(Pixels("s-Shadow" + std::to_string(i) + ".kvt"), Bytes{7});
}

TEST_F(SchemeCommands, InterlaceModeOneCyclesThroughEveryShareAndRevealRefusesMixedSizes)
{
    Write("a.kvt", 2, 1, 2, {1, 1, 2, 2});
    Write("b.kvt", 2, 1, 2, {3, 3, 4, 4});
    Write("c.kvt", 2, 1, 2, {5, 5, 6, 6});
    ASSERT_EQ(Kvt({"interlace", "--mode", "1", At("a.kvt"), At("b.kvt"), At("c.kvt"), "-o", At("i.kvt")}).status, 0);
    EXPECT_EQ(Pixels("i.kvt"), (Bytes{1, 1, 3, 3, 5, 5, 2, 2, 4, 4, 6, 6}));
    const KvtRun mode2 = Kvt({"interlace", "--mode", "2", At("a.kvt"), At("b.kvt"), At("c.kvt"), "--secret", At("s.kvt"),
                              "-o", At("j.kvt")});
    EXPECT_EQ(mode2.status, 2);
    EXPECT_EQ(mode2.err, "kvt interlace: mode 2 takes two shadows; mode 1 takes two or more\n");

    const KvtRun mixed = Kvt({"reveal", At("a.kvt"), At("b.kvt"), At("s.kvt"), "-o", At("r.kvt")});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.err, "Reveal error: The shares must all have the same width and height.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.kvt"));
}
