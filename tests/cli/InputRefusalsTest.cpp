// SPDX-License-Identifier: GPL-3.0-or-later
// kvt against inputs it can't use: every refusal names the file, what failed and why, in English
// whatever the locale, and a header never asks for work the file's bytes don't hold.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {
class InputRefusals : public testing::Test {
protected:
    InputRefusals()
    {
        // Messages of the system and of the maker's dialog come in the user's language otherwise.
        ::setenv("LC_ALL", "zh_TW.UTF-8", 1);
        ::setenv("LANG", "C.UTF-8", 1);
    }
    ~InputRefusals() override { ::unsetenv("LC_ALL"); }

    std::string At(const std::string& name) const { return (dir / name).string(); }
    KvtRun Kvt(const std::vector<std::string>& args) { return RunKvt(args, err.Path() / "stderr.txt"); }
    std::string Put(const std::string& name, const Bytes& bytes)
    {
        WriteBytes(dir / name, bytes);
        return At(name);
    }

    TempDir dir;
    TempDir err;
};

Bytes Frames(int width, int height, int frames, std::uint32_t frameSize, std::size_t bytes)
{
    Bytes file = HeaderBytes(width, height, static_cast<std::uint16_t>(frames), frameSize);
    file.resize(file.size() + bytes, 0x80);
    return file;
}
}  // namespace

TEST_F(InputRefusals, FilesThatCantBeOpenedSayWhichAndWhy)
{
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    const std::pair<std::string, std::string> cases[] = {
        {At("missing.kvt"), "No such file or directory"},
        {At("folder"), "Is a directory"},
        {"/dev/zero", "not a regular file (a device, a pipe or a socket)"},
        {At("fifo"), "not a regular file (a device, a pipe or a socket)"},
    };
    const std::string share = Put("share.kvt", KvtFile(2, 2, Bytes(4, 0)));
    for (const auto& [path, why] : cases) {
        SCOPED_TRACE(path);
        for (const auto& args : {std::vector<std::string>{"info", path}, {"measure", "--secret", path, share}}) {
            const KvtRun run = Kvt(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "Create document error: " + path + ": " + why + "\n");
        }
    }
    const std::string notKvt = Put("not.kvt", Bytes{'P', 'K', 0, 0});
    EXPECT_EQ(Kvt({"info", notKvt}).err, "File types error: " + notKvt + ": it does not begin with \"KV\"\n");
    const std::string shortFile = Put("short.kvt", Frames(3, 2, 2, 6, 7));
    EXPECT_EQ(Kvt({"copy", shortFile, At("out.kvt")}).err,
              "File size not match: " + shortFile +
                  ": the file holds 31 bytes, where the header's 2 frames of 6 bytes after it make 36\n");
}

TEST_F(InputRefusals, InterlacingSaysWhatDiffers)
{
    const std::string a = Put("a.kvt", KvtFile(2, 2, Bytes(8, 0)));
    const std::string b = Put("b.kvt", KvtFile(2, 2, Bytes(12, 0)));
    const KvtRun run = Kvt({"interlace", "--mode", "1", a, b, "-o", At("out.kvt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Interlacing streams error: Image size not match.: 2 frames of 2 x 2 (frame size 4) "
                       "against 3 frames of 2 x 2 (frame size 4)\n");
}

TEST_F(InputRefusals, AHeaderAsksNoWorkBeyondTheFilesBytes)
{
    // 24 bytes claiming 65535 frames of 1000 x 1000: nothing to measure, export or split.
    const std::string lie = Put("lie.kvt", HeaderBytes(1000, 1000, 65535, 0));
    const std::string warning = "kvt: warning: " + lie + ": the header's frame size is 0 bytes, where frames of "
                                                         "1000 x 1000 hold 1000000\n";
    const std::string refusal = "kvt: " + lie + ": 65535 of its 65535 frames are missing from the file, which holds 0\n";
    for (const auto& args : {std::vector<std::string>{"measure", "--secret", lie, lie, lie},
                             {"shadows", lie, "--out-dir", At(".")},
                             {"export", lie, "-o", At("f-%05d.png")},
                             {"print", lie, "--dpi", "300", "-o", At("out.pdf")}}) {
        SCOPED_TRACE(args.front());
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, warning + refusal);
    }
    // Info reads only the header: it says what is wrong and shows it.
    const KvtRun info = Kvt({"info", lie});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.err.substr(0, warning.size()), warning);

    // A frame size larger than width x height leaves where each frame starts unknown.
    const std::string wide = Put("wide.kvt", Frames(3, 5, 2, 16, 32));
    const KvtRun copy = Kvt({"copy", wide, At("out.kvt")});
    EXPECT_EQ(copy.status, 1);
    EXPECT_EQ(copy.err, "kvt: " + wide + ": the header's frame size is 16 bytes, where frames of 3 x 5 hold 15: "
                                         "where each frame starts is unknown\n");

    // A last frame partly held reads black, as in the player.
    const std::string part = Put("part.kvt", Frames(3, 5, 2, 9, 18));
    EXPECT_EQ(Kvt({"copy", part, At("out.kvt")}).err.find("missing from the file"), std::string::npos);
}

TEST_F(InputRefusals, StreamsWithoutPixelsAreRefusedByEveryCommand)
{
    const std::string flat = Put("flat.kvt", HeaderBytes(0, 5, 3, 0));
    const std::string message = "kvt: " + flat + ": its frames are 0 x 5 pixels: there is no picture\n";
    for (const auto& args : {std::vector<std::string>{"copy", flat, At("out.kvt")},
                             {"shadows", flat, "--out-dir", At(".")},
                             {"reveal", flat, flat, "-o", At("out.kvt")},
                             {"interlace", "--mode", "1", flat, flat, "-o", At("out.kvt")},
                             {"measure", "--secret", flat, flat, flat},
                             {"export", flat, "-o", At("f.gif")}}) {
        SCOPED_TRACE(args.front());
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, message);
    }
    EXPECT_EQ(Kvt({"info", flat}).status, 0);
}

TEST_F(InputRefusals, MemoryIsCheckedBeforeItIsClaimed)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows";
#else
    // One frame of 20000 x 20000 (400 MB, sparse): each frame fits under a 3 GB address space, the
    // frames and tables of a measurement together don't. Shares are held a band at a time, but
    // shares on covers hold the secret's frame and both covers' whole: not under 1 GB.
    const std::string big = Put("big.kvt", HeaderBytes(20000, 20000, 1, 20000 * 20000));
    fs::resize_file(big, 24 + 20000ull * 20000);
    const auto limited = [&](const std::vector<std::string>& args) {
        return RunKvtUnder("prlimit --as=3000000000", args, err.Path() / "stderr.txt");
    };
    KvtRun run = limited({"measure", "--secret", big, big, big});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("kvt measure: not enough memory: needs 4.8 GB, ", 0), 0u) << run.err;
    run = RunKvtUnder("prlimit --as=1000000000",
                      {"shadows", "-q", big, "--cover", big, "--cover", big, "--out-dir", dir.Path().string()},
                      err.Path() / "stderr.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("Create VSS shadows error:  Not memory avaliable for shadow1 images: needs ", 0), 0u)
        << run.err;
#endif
}

TEST_F(InputRefusals, ACoverThatIsTheSecretIsRefused)
{
    const Bytes picture{0, 255, 255, 0, 255, 0, 0, 255};
    const std::string secret = Put("secret.kvt", KvtFile(4, 2, picture));
    const std::string other = Put("other.kvt", KvtFile(4, 2, {255, 0, 0, 255, 0, 0, 0, 255}));
    fs::create_directory(dir / "out");
    const KvtRun run = Kvt({"shadows", secret, "--cover", other, "--cover", secret, "--out-dir", At("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt shadows: " + secret + ": the cover of the secret's frame 1 is black where the secret is: "
                                                  "a share made on it shows the secret on its own\n");
    EXPECT_TRUE(fs::is_empty(dir / "out"));
    EXPECT_EQ(Kvt({"shadows", secret, "--cover", other, "--cover", other, "--out-dir", At("out")}).status, 0);
}
