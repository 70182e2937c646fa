// SPDX-License-Identifier: GPL-3.0-or-later
// kvt info, copy, shadows and demo, run as a user runs them.

#include <gtest/gtest.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

using Bytes = std::vector<unsigned char>;

namespace {
class StreamCommands : public testing::Test {
protected:
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) { return (dir / name).string(); }
    void Write(const std::string& name, const Bytes& bytes) { WriteBytes(dir / name, bytes); }

    static Bytes Join(Bytes a, const Bytes& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    TempDir dir;
};

constexpr const char* kSeedUsage = "kvt shadows: --seed takes a number from 0 to 4294967295\n";
}  // namespace

TEST_F(StreamCommands, InfoPrintsTheHeaderAndTheFramesHeld)
{
    Write("a.kvt", Join(HeaderBytes(3, 2, 2, 6, {1, 2, 3, 65535}), Bytes(12, 9)));
    const KvtRun run = Kvt({"info", At("a.kvt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "width: 3\nheight: 2\nframe size: 6\nframe count: 2\nframes: 2\nreserved: 1 2 3 65535\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(StreamCommands, InfoRefusalsGiveTheProgramsMessageAndStatusOne)
{
    Write("kx.kvt", {'K', 'X'});
    Write("short.kvt", Join(HeaderBytes(3, 2, 1, 6), Bytes(5, 0)));
    Write("neg.kvt", HeaderBytes(-3, 2, 1, 0));
    struct Case {
        std::string file;
        std::string err;
    };
    for (const Case& c : {Case{"kx.kvt", "File types error: " + At("kx.kvt") + ": it does not begin with \"KV\"\n"},
                          Case{"short.kvt", "File size not match: " + At("short.kvt") +
                                                ": the file holds 29 bytes, where the header's 1 frames of 6 bytes "
                                                "after it make 30\n"},
                          Case{"missing.kvt", "Create document error: " + At("missing.kvt") + ": No such file or directory\n"},
                          Case{"neg.kvt", "Image size error: Width and height can't be negative\n"}}) {
        SCOPED_TRACE(c.file);
        const KvtRun run = Kvt({"info", At(c.file)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(StreamCommands, UsageErrorsGiveStatusTwo)
{
    const KvtRun none = Kvt({"info"});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err.substr(0, none.err.find('\n')), "kvt info: FILE is required");
    const KvtRun unknown = Kvt({"copy", "a", "b", "--frobnicate", "1"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')),
              "kvt copy: The following arguments were not expected: 1 --frobnicate");
    const KvtRun noCommand = Kvt({"frobnicate"});
    EXPECT_EQ(noCommand.status, 2);
    EXPECT_EQ(noCommand.err.substr(0, noCommand.err.find('\n')), "kvt: unknown command 'frobnicate'");
    const KvtRun help = Kvt({"shadows", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: kvt shadows [OPTIONS] SECRET"), std::string::npos) << help.out;
}

TEST_F(StreamCommands, CopyKeepsAWellFormedFileByteForByte)
{
    const Bytes file = Join(HeaderBytes(5, 3, 2, 15, {7, 0, 0x8000, 1}), Bytes(30, 0x5A));
    Write("in.kvt", file);
    ASSERT_EQ(Kvt({"copy", At("in.kvt"), At("out.kvt")}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), file);
}

TEST_F(StreamCommands, FailedCopyLeavesAnExistingTargetAlone)
{
    const Bytes old = Join(HeaderBytes(1, 1, 1, 1), Bytes{42});
    Write("target.kvt", old);
    Write("bad.kvt", {'X', 'V'});
    Write("empty.kvt", HeaderBytes(4, 4, 0, 16));  // opens, but a stream without frames is not saved

    KvtRun run = Kvt({"copy", At("bad.kvt"), At("target.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File types error: " + At("bad.kvt") + ": it does not begin with \"KV\"\n");
    run = Kvt({"copy", At("empty.kvt"), At("target.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File save error: " + At("target.kvt") + ": no frames\n");
    EXPECT_EQ(ReadBytes(dir / "target.kvt"), old);
}

TEST_F(StreamCommands, SeededShadowsAreTheseExactFiles)
{
    // Seed 1 gives patterns 5, 5, 4, 4, 5, 4 (see the shadow generation tests).
    Write("Movie.KVT", Join(HeaderBytes(3, 2, 1, 6), Bytes{0, 1, 255, 0, 128, 0}));
    const KvtRun run = Kvt({"shadows", At("Movie.KVT"), "--seed", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "seed: 1\n" + At("Movie-Shadow1.kvt") + "\n" + At("Movie-Shadow2.kvt") + "\n");
    EXPECT_NE(run.err.find("\nkvt shadows: warning: shares made with --seed keep no secret"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(dir / "Movie-Shadow1.kvt"),
              Join(HeaderBytes(6, 4, 1, 24), Bytes{255, 0, 255, 0, 0, 255, 0, 255, 0, 255, 255, 0,  //
                                                 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0}));
    EXPECT_EQ(ReadBytes(dir / "Movie-Shadow2.kvt"),
              Join(HeaderBytes(6, 4, 1, 24), Bytes{0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0,  //
                                                 255, 0, 255, 0, 255, 0, 0, 255, 0, 255, 0, 255}));
}

TEST_F(StreamCommands, ShadowsWithoutSeedAreSystemRandomAndDifferEachRun)
{
    Write("s.kvt", Join(HeaderBytes(16, 8, 1, 128), Bytes(128, 255)));
    std::filesystem::create_directory(dir / "one");
    std::filesystem::create_directory(dir / "two");
    const KvtRun first = Kvt({"shadows", At("s.kvt"), "--out-dir", At("one")});
    const KvtRun second = Kvt({"shadows", At("s.kvt"), "--out-dir", At("two")});
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(first.out.substr(0, first.out.find('\n')), "seed: none (system random)");
    EXPECT_EQ(first.err, "");
    const Bytes a = ReadBytes(dir / "one" / "s-Shadow1.kvt");
    ASSERT_EQ(a.size(), 24u + 32 * 16);
    EXPECT_NE(a, ReadBytes(dir / "two" / "s-Shadow1.kvt"));
    // A white secret: both shadows alike.
    EXPECT_EQ(a, ReadBytes(dir / "one" / "s-Shadow2.kvt"));
}

TEST_F(StreamCommands, ShadowsRefuseBadSeedsAndSecretsWithoutImages)
{
    Write("s.kvt", Join(HeaderBytes(2, 2, 1, 4), Bytes(4, 0)));
    for (const char* seed : {"x", "-1", "4294967296", ""}) {
        SCOPED_TRACE(seed);
        const KvtRun run = Kvt({"shadows", At("s.kvt"), "--seed", seed});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, kSeedUsage);
    }
    EXPECT_EQ(Kvt({"shadows", At("s.kvt"), "--seed", "4294967295"}).status, 0);

    Write("none.kvt", HeaderBytes(2, 2, 0, 4));
    const KvtRun run = Kvt({"shadows", At("none.kvt"), "--seed", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Create VSS shadows error: This stream has no images\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "none-Shadow1.kvt"));
}

TEST_F(StreamCommands, DemoIsAMovingSecretThatKvtCanRead)
{
    const KvtRun run = Kvt({"demo", "--out-dir", At("")});
    ASSERT_EQ(run.status, 0) << run.err;
    const KvtRun info = Kvt({"info", At("demo.kvt")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "width: 160\nheight: 120\nframe size: 19200\nframe count: 48\nframes: 48\n"
                        "reserved: 0 0 0 0\n");
    const Bytes bytes = ReadBytes(dir / "demo.kvt");
    const Bytes first(bytes.begin() + 24, bytes.begin() + 24 + 19200);
    const Bytes later(bytes.begin() + 24 + 12 * 19200, bytes.begin() + 24 + 13 * 19200);
    EXPECT_NE(first, later);
    EXPECT_EQ(std::count(first.begin(), first.end(), 0) + std::count(first.begin(), first.end(), 255), 19200);
}
