// SPDX-License-Identifier: GPL-3.0-or-later
// kvt measure, run as a user runs it: on the program's own shadows, on broken and mismatched shares.

#include <gtest/gtest.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace {
class MeasureCommand : public testing::Test {
protected:
    void Write(const std::string& name, int w, int h, const std::vector<unsigned char>& pixels)
    {
        WriteBytes(dir / name, KvtFile(w, h, pixels));
    }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) { return (dir / name).string(); }

    TempDir dir;
};
}  // namespace

TEST_F(MeasureCommand, MeasuresTheProgramsOwnShadows)
{
    ASSERT_EQ(Kvt({"demo", "--out-dir", dir.Path().string()}).status, 0);
    ASSERT_EQ(Kvt({"shadows", At("demo.kvt")}).status, 0);
    const KvtRun run = Kvt({"measure", "--secret", At("demo.kvt"), At("demo-Shadow1.kvt"), At("demo-Shadow2.kvt"),
                            "--json", "--csv", At("frames.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* key : {"\"secret\"", "\"shares\"", "\"block\"", "\"subpixels\": 4", "\"frames\": 48",
                            "\"grey_pixels\": 0", "\"stream\"", "\"frames_min\"", "\"frames_median\"",
                            "\"frames_max\"", "\"black_darkness\": 1,", "\"white_darkness\": 0.5,", "\"alpha\": 0.5,",
                            "\"beta\": 0.5,", "\"error_rate\": 0,", "\"ssim\": 1,", "\"psnr_db\": null", "\"mse\": 0,",
                            "\"crawl\"", "\"security_units\"", "\"chi_square\"", "\"degrees_of_freedom\": 5",
                            "\"p_value\"", "\"shares\": [2]", "\"scheme_subpixels\": 4,", "\"block_alpha\": 0.5,",
                            "\"test\": \"frames\"", "\"leak_p_value\": 0.00025,"})
        EXPECT_NE(run.out.find(key), std::string::npos) << key;
    EXPECT_EQ(run.out.find("\"leaks\": true"), std::string::npos);
    const auto csv = ReadBytes(dir / "frames.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 49);
    EXPECT_EQ(std::string(csv.begin(), csv.begin() + 40), "frame,black_darkness,white_darkness,alph");
}

TEST_F(MeasureCommand, ShowsALeakOfABrokenShare)
{
    // Secret 20 x 20, its left half black; 4 x 1 blocks, share 1 the same pattern everywhere and
    // share 2 its complement over black: share 2 alone shows the secret.
    std::vector<unsigned char> secret, share1, share2;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool black = x < 10;
            secret.push_back(black ? 0 : 255);
            for (const unsigned char v : {0, 0, 255, 255}) {
                share1.push_back(v);
                share2.push_back(black ? 255 - v : v);
            }
        }
    Write("secret.kvt", 20, 20, secret);
    Write("s1.kvt", 80, 20, share1);
    Write("s2.kvt", 80, 20, share2);
    const KvtRun run = Kvt({"measure", "--secret", At("secret.kvt"), At("s1.kvt"), At("s2.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("block 4 x 1 (4 cells), m = 4 (the whole block)"), std::string::npos) << run.out;
    const auto line2 = run.out.substr(run.out.rfind("\nalone   2 "));
    EXPECT_NE(line2.find("  LEAKS"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("  LEAKS"), run.out.rfind("  LEAKS"));
}

TEST_F(MeasureCommand, RefusesSharesOfTheWrongSize)
{
    Write("secret.kvt", 4, 2, std::vector<unsigned char>(8, 0));
    Write("odd.kvt", 12, 3, std::vector<unsigned char>(36, 0));
    Write("even.kvt", 8, 4, std::vector<unsigned char>(32, 0));
    KvtRun run = Kvt({"measure", "--secret", At("secret.kvt"), At("odd.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt measure: the shares' size 12 x 3 is not a whole multiple of the secret's 4 x 2 (" +
                           At("secret.kvt") + ")\n");
    run = Kvt({"measure", "--secret", At("secret.kvt"), At("even.kvt"), At("odd.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the shares must be of one size"), std::string::npos) << run.err;
    run = Kvt({"measure", "--secret", At("secret.kvt"), At("even.kvt"), "--subsets", "2"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kvt measure: --subsets 2 is more than the 1 shares given\n");
    run = Kvt({"measure", "--secret", At("secret.kvt"), At("even.kvt"), "--subpixels", "5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt measure: --subpixels 5 is more than the 4 subpixels of the shares' 2 x 2 blocks\n");
}

TEST_F(MeasureCommand, MeasuresGreyPixelsAsTheSharesSeeThemWithTheWarning)
{
    Write("secret.kvt", 4, 1, {0, 128, 255, 0});
    ASSERT_EQ(Kvt({"shadows", At("secret.kvt"), "--seed", "1"}).status, 0);
    const KvtRun run = Kvt({"measure", "--json", "--secret", At("secret.kvt"), At("secret-Shadow1.kvt"),
                            At("secret-Shadow2.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"grey_pixels\": 1,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"white_darkness\": 0.5,"), std::string::npos) << run.out;
    EXPECT_EQ(run.err.rfind("kvt measure: warning: " + At("secret.kvt") + " has 1 grey pixels", 0), 0u) << run.err;
}

TEST_F(MeasureCommand, JsonOfFilesNamedInLatin1IsStillUtf8)
{
    const std::string name = "caf\xe9";  // a name the shell of an older system made
    Write(name + ".kvt", 4, 1, {0, 255, 255, 0});
    ASSERT_EQ(Kvt({"shadows", At(name + ".kvt"), "--seed", "1"}).status, 0);
    const KvtRun run =
        Kvt({"measure", "--json", "--secret", At(name + ".kvt"), At(name + "-Shadow1.kvt"), At(name + "-Shadow2.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("caf\\ufffd-Shadow2.kvt\""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\xe9'), std::string::npos);
}
