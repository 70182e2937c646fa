// SPDX-License-Identifier: GPL-3.0-or-later
// kvt interlace and kvt reveal, run as a user runs them.

#include <gtest/gtest.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace {
class VssCommands : public testing::Test {
protected:
    VssCommands()
    {
        // Two 2 x 1 "shadows" of one 1 x 1 frame each, and a secret of one 1 x 1 frame.
        Write("s1.kvt", 4, 2, {0x0F, 0xFF, 0xF0, 0x00, 0x3C, 0xC3, 0x55, 0xAA});
        Write("s2.kvt", 4, 2, {0xFF, 0x0F, 0x00, 0xF0, 0xC3, 0x3C, 0xAA, 0x55});
        Write("wide.kvt", 8, 1, {1, 2, 3, 4, 5, 6, 7, 8});
    }
    void Write(const std::string& name, int w, int h, const std::vector<unsigned char>& pixels)
    {
        WriteBytes(dir / name, KvtFile(w, h, pixels));
    }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) { return (dir / name).string(); }

    TempDir dir;
};
}  // namespace

TEST_F(VssCommands, InterlaceModeOneWritesTheShadowsAlternately)
{
    const KvtRun run = Kvt({"interlace", "--mode", "1", At("s1.kvt"), At("s2.kvt"), "-o", At("m1.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto expected = HeaderBytes(4, 2, 2, 8);
    for (const char* name : {"s1.kvt", "s2.kvt"}) {
        const auto bytes = ReadBytes(dir / name);
        expected.insert(expected.end(), bytes.begin() + 24, bytes.end());
    }
    EXPECT_EQ(ReadBytes(dir / "m1.kvt"), expected);
}

TEST_F(VssCommands, InterlaceModeTwoAddsAFreshPairAndPrintsItsSeed)
{
    Write("secret.kvt", 2, 1, {0, 255});
    Write("p1.kvt", 4, 2, std::vector<unsigned char>(8, 255));
    Write("p2.kvt", 4, 2, std::vector<unsigned char>(8, 255));
    const KvtRun run = Kvt({"interlace", "--mode", "2", At("p1.kvt"), At("p2.kvt"), "--secret",
                            At("secret.kvt"), "--seed", "7", "-o", At("m2.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "seed: 7\n");
    EXPECT_TRUE(run.err.starts_with("kvt interlace: warning: shares made with --seed keep no secret")) << run.err;
    const auto bytes = ReadBytes(dir / "m2.kvt");
    ASSERT_EQ(bytes.size(), 24u + 4 * 8);
    EXPECT_EQ(bytes[18], 4);  // frame count
    // Frames 1 and 3 are the fresh shadows: stacked, the black secret pixel is all black.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(bytes[24 + 8 + i] & bytes[24 + 24 + i], 0);
    // A repeated seed repeats the result.
    ASSERT_EQ(Kvt({"interlace", "--mode", "2", At("p1.kvt"), At("p2.kvt"), "--secret", At("secret.kvt"),
                   "--seed", "7", "-o", At("again.kvt")})
                  .status,
              0);
    EXPECT_EQ(ReadBytes(dir / "again.kvt"), bytes);
}

TEST_F(VssCommands, InterlaceFailuresAndUsage)
{
    KvtRun run = Kvt({"interlace", "--mode", "1", At("s1.kvt"), At("wide.kvt"), "-o", At("out.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Interlacing streams error: Image size not match.: 1 frames of 4 x 2 (frame size 8) "
                       "against 1 frames of 8 x 1 (frame size 8)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kvt"));

    EXPECT_EQ(Kvt({"interlace", "--mode", "3", At("s1.kvt"), At("s2.kvt"), "-o", At("out.kvt")}).status, 2);
    EXPECT_EQ(Kvt({"interlace", "--mode", "2", At("s1.kvt"), At("s2.kvt"), "-o", At("out.kvt")}).status, 2);
    EXPECT_EQ(Kvt({"interlace", "--mode", "1", At("s1.kvt"), At("s2.kvt")}).status, 2);
}

TEST_F(VssCommands, RevealAndsTheTwoShadows)
{
    const KvtRun run = Kvt({"reveal", At("s1.kvt"), At("s2.kvt"), "-o", At("r.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto expected = HeaderBytes(4, 2, 1, 8);
    expected.insert(expected.end(), {0x0F, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(ReadBytes(dir / "r.kvt"), expected);

    const KvtRun bad = Kvt({"reveal", At("s1.kvt"), At("wide.kvt"), "-o", At("r.kvt")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "Reveal error: The two streams must have the same width and height.\n");
    EXPECT_EQ(ReadBytes(dir / "r.kvt"), expected);
}
