// SPDX-License-Identifier: GPL-3.0-or-later
// kvt shadows with covers and with a key, run as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "vss/ExtendedShares.h"

using Bytes = std::vector<unsigned char>;

namespace {
using Pixel = std::function<unsigned char(int frame, int x, int y)>;

// Black (0) subpixels of the 2 x 2 block of pixel (x, y) in frame `frame` of a stream file of
// shares `width` subpixels wide.
int BlackInBlock(const Bytes& file, int width, int height, int frame, int x, int y)
{
    const std::size_t at = 24 + static_cast<std::size_t>(frame) * width * height + 2 * y * width + 2 * x;
    return (file[at] == 0) + (file[at + 1] == 0) + (file[at + width] == 0) + (file[at + width + 1] == 0);
}

class CoverShadows : public testing::Test {
protected:
    std::string Put(const std::string& name, int width, int height, int frames, const Pixel& pixel)
    {
        Bytes bytes =
            HeaderBytes(width, height, static_cast<std::uint16_t>(frames), static_cast<std::uint32_t>(width * height));
        for (int k = 0; k < frames; ++k)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    bytes.push_back(pixel(k, x, y));
        WriteBytes(dir / name, bytes);
        return At(name);
    }
    std::string At(const std::string& name) const { return (dir / name).string(); }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }

    TempDir dir;
};

// Every combination of colours: the secret changes with x, cover 1 with y, cover 2 with both and
// with the frame.
unsigned char Secret(int, int x, int) { return x % 2 ? 255 : 0; }
unsigned char Cover1(int, int, int y) { return y % 2 ? 0 : 255; }
unsigned char Cover2(int k, int x, int y) { return (x / 2 + y / 2 + k) % 2 ? 0 : 255; }
}  // namespace

TEST_F(CoverShadows, EachShareShowsItsCoverAndTheStackTheSecretInEveryFrame)
{
    const int w = 7, h = 6, frames = 5;
    const std::string secret = Put("s.kvt", w, h, frames, [](int k, int x, int y) {
        return Secret(k, x, y) == 255 && (x + y) % 3 == 0 ? static_cast<unsigned char>(1 + k) : Secret(k, x, y);
    });
    Put("c1.kvt", w, h, 1, Cover1);
    Put("c2.kvt", w, h, 2, Cover2);  // loops: frames 0, 1, 0, 1, 0
    const KvtRun run = Kvt({"shadows", secret, "--cover", At("c1.kvt"), "--cover", At("c2.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string("scheme: ") + extended_shares::kDescription + "\nseed: none (system random)\n" +
                           At("s-Shadow1.kvt") + "\n" + At("s-Shadow2.kvt") + "\n");
    const Bytes s1 = ReadBytes(dir / "s-Shadow1.kvt"), s2 = ReadBytes(dir / "s-Shadow2.kvt");
    ASSERT_EQ(s1.size(), 24u + 4u * w * h * frames);
    ASSERT_EQ(s2.size(), s1.size());
    EXPECT_EQ(Bytes(s1.begin(), s1.begin() + 24), HeaderBytes(2 * w, 2 * h, frames, 4 * w * h));
    for (int k = 0; k < frames; ++k) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                SCOPED_TRACE(testing::Message() << "frame " << k << " pixel " << x << "," << y);
                EXPECT_EQ(BlackInBlock(s1, 2 * w, 2 * h, k, x, y), Cover1(k, x, y) == 0 ? 3 : 2);
                EXPECT_EQ(BlackInBlock(s2, 2 * w, 2 * h, k, x, y), Cover2(k % 2, x, y) == 0 ? 3 : 2);
                Bytes stack = s1;
                for (std::size_t i = 24; i < stack.size(); ++i)
                    stack[i] = std::min(s1[i], s2[i]);
                EXPECT_EQ(BlackInBlock(stack, 2 * w, 2 * h, k, x, y), Secret(k, x, y) == 0 ? 4 : 3);
            }
        }
    }
    EXPECT_NE(run.err.find("grey pixels"), std::string::npos) << "the secret's greys count as white, with a warning";
    // A seed repeats the shares.
    std::filesystem::create_directory(dir / "a");
    std::filesystem::create_directory(dir / "b");
    for (const char* sub : {"a", "b"})
        ASSERT_EQ(Kvt({"shadows", secret, "--cover", At("c1.kvt"), "--cover", At("c2.kvt"), "--seed", "7", "--out-dir",
                       At(sub)})
                      .status,
                  0);
    EXPECT_EQ(ReadBytes(dir / "a" / "s-Shadow1.kvt"), ReadBytes(dir / "b" / "s-Shadow1.kvt"));
    EXPECT_NE(ReadBytes(dir / "a" / "s-Shadow1.kvt"), s1);
}

TEST_F(CoverShadows, AKeyedShareKeepsTheKeysBlocksAndRevealsWithIt)
{
    const int w = 5, h = 3, frames = 3;
    const std::string secret = Put("s.kvt", w, h, frames, [](int k, int x, int y) {
        return static_cast<unsigned char>((x + y + k) % 2 ? 255 : 0);
    });
    // A key of one frame: each block one of the two-black patterns.
    Put("key.kvt", 2 * w, 2 * h, 1, [](int, int x, int y) {
        return static_cast<unsigned char>((x + y / 2 * (x / 2 % 2)) % 2 ? 255 : 0);
    });
    const KvtRun run = Kvt({"shadows", secret, "--key", At("key.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, At("s-Shadow2.kvt") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "s-Shadow1.kvt"));
    EXPECT_EQ(run.err, "kvt shadows: warning: a key serves one secret: whoever holds two shares made against " +
                           At("key.kvt") + " can stack them and see where their secrets differ; and since it has fewer "
                           "frames than " + secret + ", two frames of this share stacked show where those frames differ.\n");
    const Bytes key = ReadBytes(dir / "key.kvt"), share = ReadBytes(dir / "s-Shadow2.kvt");
    ASSERT_EQ(share.size(), 24u + 4u * w * h * frames);
    for (int k = 0; k < frames; ++k) {
        for (int i = 0; i < 4 * w * h; ++i) {
            const int x = i % (2 * w) / 2, y = i / (2 * w) / 2;
            const bool black = (x + y + k) % 2 == 0;
            const unsigned char keyed = key[24 + static_cast<std::size_t>(i)];
            EXPECT_EQ(share[24 + static_cast<std::size_t>(k * 4 * w * h + i)], black ? 255 - keyed : keyed)
                << "frame " << k << " subpixel " << i;
        }
    }
}

TEST_F(CoverShadows, BadCoversKeysAndOptionsAreRefusedAndWriteNothing)
{
    const std::string secret = Put("s.kvt", 4, 3, 3, Secret);
    Put("cover.kvt", 4, 3, 2, Cover1);
    Put("wide.kvt", 5, 3, 1, Cover1);
    Put("grey.kvt", 4, 3, 2, [](int k, int x, int y) { return static_cast<unsigned char>(k == 1 && x == 2 && y == 1 ? 7 : 0); });
    Put("key.kvt", 8, 6, 1, [](int, int x, int) { return static_cast<unsigned char>(x % 2 ? 255 : 0); });
    Put("smallkey.kvt", 4, 3, 1, Secret);
    Put("badkey.kvt", 8, 6, 3, [](int k, int x, int y) { return static_cast<unsigned char>(k == 2 && x == 5 && y == 2 ? 0 : x % 2 ? 255 : 0); });
    WriteBytes(dir / "s-Shadow2.kvt", {'o', 'l', 'd'});
    WriteBytes(dir / "junk.kvt", {'j', 'u', 'n', 'k'});
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"--cover", At("cover.kvt"), "--cover", At("wide.kvt")}, 1,
         "kvt shadows: " + At("wide.kvt") + ": frames of 5x3, where a cover of this secret has 4x3 (kvt import --size 4x3 makes one)\n"},
        {{"--cover", At("grey.kvt"), "--cover", At("cover.kvt")}, 1,
         "kvt shadows: " + At("grey.kvt") + ": frame 2: grey 7 at (2, 1), where a cover is black and white: make it with kvt import, halftoned\n"},
        // The reader's messages name the file already: once is enough.
        {{"--cover", At("missing.kvt"), "--cover", At("cover.kvt")}, 1, "kvt shadows: Create document error: " + At("missing.kvt") + ": No such file or directory\n"},
        {{"--key", At("junk.kvt")}, 1, "kvt shadows: File types error: " + At("junk.kvt") + ": it does not begin with \"KV\"\n"},
        {{"--key", At("smallkey.kvt")}, 1,
         "kvt shadows: " + At("smallkey.kvt") + ": frames of 4x3, where a key of this secret has 8x6: a first share of this secret's size\n"},
        {{"--key", At("badkey.kvt")}, 1,
         "kvt shadows: " + At("badkey.kvt") + ": frame 3: the block at (4, 2) to (5, 3) has 3 of its 4 subpixels black, where a first share has 2\n"},
        {{"--cover", At("cover.kvt")}, 2, "kvt shadows: --cover is given twice: the first share's cover, then the second's\n"},
        {{"--cover", At("cover.kvt"), "--cover", At("cover.kvt"), "--key", At("key.kvt")}, 2, "kvt shadows: --cover and --key exclude each other\n"},
        {{"--key", At("key.kvt"), "--seed", "3"}, 2, "kvt shadows: --key makes no random patterns: --seed does not go with it\n"},
        {{"--cover", At("cover.kvt"), "--cover", At("cover.kvt"), "-k", "3"}, 2,
         "kvt shadows: --cover makes (2, 2) shares of its own: -k does not go with it\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"shadows", secret};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, c.status) << c.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_FALSE(std::filesystem::exists(dir / "s-Shadow1.kvt"));
        EXPECT_EQ(ReadBytes(dir / "s-Shadow2.kvt"), Bytes({'o', 'l', 'd'}));
    }
}

// A key that is a first share in form but not random is refused, naming the key and the test; a
// first share kvt made passes.
TEST_F(CoverShadows, AKeyWhoseBlocksAreNotRandomIsRefused)
{
    const int w = 24, h = 20;
    const std::string secret = Put("s.kvt", w, h, 1, Secret);
    Put("constant.kvt", 2 * w, 2 * h, 1, [](int, int x, int) { return static_cast<unsigned char>(x % 2 ? 255 : 0); });
    // Every pattern equally often, but each block fixes its right neighbour's.
    Put("cycling.kvt", 2 * w, 2 * h, 1, [](int, int x, int y) {
        const int block = x / 2 % 2 + 2 * (y / 2 % 3);
        static const unsigned char kBlack[6][4] = {{1, 1, 0, 0}, {1, 0, 1, 0}, {1, 0, 0, 1},
                                                   {0, 1, 1, 0}, {0, 1, 0, 1}, {0, 0, 1, 1}};
        return static_cast<unsigned char>(kBlack[block][x % 2 + 2 * (y % 2)] ? 0 : 255);
    });
    for (const auto& [name, over] : {std::pair{"constant.kvt", "the 6 patterns of a block"},
                                     {"cycling.kvt", "the 36 patterns of two neighbouring blocks"}}) {
        const KvtRun run = Kvt({"shadows", secret, "--key", At(name)});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err.rfind("kvt shadows: " + At(name) + ": frame 1: its blocks are not uniformly random "
                                "(chi-square p = ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(std::string("over ") + over + "): share 2 made against it would show the secret alone"),
                  std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "s-Shadow2.kvt"));
    }
    std::filesystem::create_directory(dir / "made");
    ASSERT_EQ(Kvt({"shadows", secret, "--out-dir", At("made")}).status, 0);
    const KvtRun keyed = Kvt({"shadows", secret, "--key", At("made/s-Shadow1.kvt")});
    EXPECT_EQ(keyed.status, 0) << keyed.err;
}
