// SPDX-License-Identifier: GPL-3.0-or-later
// kvt import, run as a user runs it, on pictures and videos made here.

#include <QImage>
#include <gtest/gtest.h>

#include <cstring>

#include "RunKvt.h"
#include "TempDir.h"
#include "TestVideo.h"

using Bytes = std::vector<unsigned char>;

namespace {
// What a .kvt file holds: its header's size and count, and each frame's rows.
struct Stream {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t frameCount = 0;
    std::vector<Bytes> frames;
};

Stream ReadStream(const std::filesystem::path& path)
{
    const Bytes bytes = ReadBytes(path);
    Stream stream;
    if (bytes.size() < 24)
        return stream;
    std::memcpy(&stream.width, &bytes[10], 4);
    std::memcpy(&stream.height, &bytes[14], 4);
    std::memcpy(&stream.frameCount, &bytes[18], 2);
    const std::size_t frameSize = static_cast<std::size_t>(stream.width) * stream.height;
    for (std::size_t at = 24; frameSize > 0 && at + frameSize <= bytes.size(); at += frameSize)
        stream.frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + frameSize));
    return stream;
}

bool OnlyBlackAndWhite(const Bytes& frame)
{
    return std::all_of(frame.begin(), frame.end(), [](unsigned char v) { return v == 0 || v == 255; });
}

class ImportCommand : public testing::Test {
protected:
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }
    std::string At(const std::string& name) { return (dir / name).string(); }

    void SavePicture(const std::string& name, QSize size, QColor colour)
    {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString(At(name))));
    }

    TempDir dir;
};

const TestVideo kClip{"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_GRAY8, 48, 32, {1, 10}};
}  // namespace

TEST_F(ImportCommand, APictureBecomesOneBlackAndWhiteFrameOfItsSize)
{
    SavePicture("grey.png", QSize(40, 30), QColor(100, 100, 100));
    const KvtRun run = Kvt({"import", At("grey.png"), "-o", At("out.kvt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, At("out.kvt") + ": 1 frame of 40x30, floyd-steinberg\n");
    const Stream stream = ReadStream(dir / "out.kvt");
    EXPECT_EQ(stream.width, 40);
    EXPECT_EQ(stream.height, 30);
    ASSERT_EQ(stream.frameCount, 1);
    ASSERT_EQ(stream.frames.size(), 1u);
    EXPECT_TRUE(OnlyBlackAndWhite(stream.frames[0]));
}

TEST_F(ImportCommand, SizeFitAndDitherOptionsShapeTheFrames)
{
    SavePicture("wide.png", QSize(64, 16), QColor(0, 0, 0));
    // Contained: 64 x 16 into 30 x 30 draws rows 11 to 18 black, the bars white.
    ASSERT_EQ(Kvt({"import", At("wide.png"), "-o", At("c.kvt"), "--size", "30x30", "--dither", "threshold"}).status, 0);
    Bytes expected(30 * 30, 255);
    std::fill(expected.begin() + 11 * 30, expected.begin() + 19 * 30, 0);
    EXPECT_EQ(ReadStream(dir / "c.kvt").frames.at(0), expected);
    // Covered and inverted: all white.
    ASSERT_EQ(Kvt({"import", At("wide.png"), "-o", At("i.kvt"), "--size", "30x30", "--fit", "cover", "--invert"}).status, 0);
    EXPECT_EQ(ReadStream(dir / "i.kvt").frames.at(0), Bytes(30 * 30, 255));
    // Kept grey: the white bars of a contained mid grey and the grey itself.
    SavePicture("mid.png", QSize(10, 10), QColor(128, 128, 128));
    ASSERT_EQ(Kvt({"import", At("mid.png"), "-o", At("n.kvt"), "--size", "20x10", "--dither", "none"}).status, 0);
    const Bytes kept = ReadStream(dir / "n.kvt").frames.at(0);
    EXPECT_EQ(kept[0], 255);
    EXPECT_EQ(kept[10], 128);
}

TEST_F(ImportCommand, AVideoGivesTheFramesOfTheRangeAsked)
{
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", kClip, std::vector<int>(30, 90)));
    KvtRun run = Kvt({"import", At("clip.mkv"), "-o", At("v.kvt"), "--fps", "5", "--start", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, At("v.kvt") + ": 10 frames of 48x32, blue-noise\n");
    const Stream video = ReadStream(dir / "v.kvt");
    EXPECT_EQ(video.frameCount, 10);
    EXPECT_EQ(video.frames.size(), 10u);
    // Blue noise: the same grey gives the same dots in every frame.
    EXPECT_EQ(video.frames.front(), video.frames.back());

}

TEST_F(ImportCommand, FailuresNameTheInputAndLeaveOutAsItWas)
{
    const Bytes old = {'o', 'l', 'd'};
    WriteBytes(dir / "out.kvt", old);
    WriteBytes(dir / "notes.txt", {'h', 'i', '\n'});
    SavePicture("good.png", QSize(8, 8), Qt::white);
    Bytes png = ReadBytes(dir / "good.png");
    png.resize(png.size() / 2);
    WriteBytes(dir / "cut.png", png);
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", kClip, std::vector<int>(20, 90)));
    ASSERT_TRUE(WriteTestVideo(dir / "long.mkv", kClip, std::vector<int>(700, 90)));
    WriteBytes(dir / "text.png", {'h', 'i', '\n'});
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{At("missing.png")}, "kvt import: " + At("missing.png") + ": No such file or directory\n"},
        {{At("notes.txt")}, "kvt import: " + At("notes.txt") + ": Invalid data found when processing input\n"},
        {{dir.Path().string()}, "kvt import: " + dir.Path().string() + ": not a regular file\n"},
        {{At("good.png"), At("clip.mkv")},
         "kvt import: " + At("clip.mkv") + ": not a picture, and a video is imported alone\n"},
        {{At("clip.mkv"), At("good.png")},
         "kvt import: " + At("clip.mkv") + ": not a picture, and a video is imported alone\n"},
        // The second picture fails after the first frame was written.
        {{At("good.png"), At("cut.png")}, "kvt import: " + At("cut.png") + ": Unable to read image data\n"},
        {{At("text.png")}, "kvt import: " + At("text.png") + ": not a PNG picture, though its name says so\n"},
        {{At("long.mkv"), "--fps", "1000"},
         "kvt import: " + At("long.mkv") +
             ": 70000 frames, more than the 65535 a stream holds: import a part with --duration, or fewer frames a "
             "second with --fps\n"},
        {{At("good.png"), "--size", "70000x10"},
         "kvt import: --size: a frame is 1 to 65536 pixels wide and high, not 70000x10\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"import", "-o", At("out.kvt")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, 1) << c.err;
        // libpng prints a line of its own first for the cut picture.
        EXPECT_TRUE(run.err.ends_with(c.err)) << run.err;
        EXPECT_EQ(ReadBytes(dir / "out.kvt"), old) << c.err;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 8) << "a temporary file was left";
}

TEST_F(ImportCommand, ContradictoryOptionsAreUsageErrors)
{
    SavePicture("a.png", QSize(4, 4), Qt::white);
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--threshold", "100", "--dither", "ordered"}, {"--size", "4by4"}}) {
        std::vector<std::string> args = {"import", At("a.png"), "-o", At("a.kvt")};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(Kvt(args).status, 2) << extra[0];
        EXPECT_FALSE(std::filesystem::exists(dir / "a.kvt"));
    }
}

TEST_F(ImportCommand, NumbersOutOfRangeNameTheRange)
{
    SavePicture("a.png", QSize(4, 4), Qt::white);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--fps", "0"}, "kvt import: --fps: 0 is not a number more than 0 and at most 1000\n"},
        {{"--duration", "1e400"}, "kvt import: --duration: 1e400 is not a number more than 0 and at most 1000000\n"},
        {{"--threshold", "12.5"}, "kvt import: --threshold: 12.5 is not a whole number from 1 to 255\n"},
    };
    for (const auto& [extra, message] : cases) {
        std::vector<std::string> args = {"import", At("a.png"), "-o", At("a.kvt")};
        args.insert(args.end(), extra.begin(), extra.end());
        const KvtRun run = Kvt(args);
        EXPECT_EQ(run.status, 2) << extra[0];
        EXPECT_TRUE(run.err.starts_with(message)) << run.err;
    }
}

TEST_F(ImportCommand, ToneOptionsMapGreysBeforeHalftoningAndRefuseContradictions)
{
    QImage ramp(256, 1, QImage::Format_Grayscale8);
    for (int x = 0; x < 256; ++x)
        ramp.scanLine(0)[x] = static_cast<uchar>(x);
    ASSERT_TRUE(ramp.save(QString::fromStdString(At("ramp.png"))));
    ASSERT_EQ(Kvt({"import", At("ramp.png"), "-o", At("l.kvt"), "--levels", "64:192", "--gamma", "2", "--dither", "none"})
                  .status,
              0);
    const Bytes levelled = ReadStream(dir / "l.kvt").frames.at(0);
    EXPECT_EQ(levelled[64], 0);
    EXPECT_EQ(levelled[96], 128);
    EXPECT_EQ(levelled[192], 255);
    EXPECT_EQ(levelled[0], 0);
    EXPECT_EQ(levelled[255], 255);
    ASSERT_EQ(Kvt({"import", At("ramp.png"), "-o", At("a.kvt"), "--auto-levels=each", "--dither", "none"}).status, 0);
    const Bytes stretched = ReadStream(dir / "a.kvt").frames.at(0);
    EXPECT_EQ(stretched[2], 0);
    EXPECT_EQ(stretched[253], 255);
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--levels", "9:9"},
                                                  {"--levels", "0:100", "--auto-levels"},
                                                  {"--auto-levels=some"},
                                                  {"--gamma", "0"}}) {
        std::vector<std::string> args = {"import", At("ramp.png"), "-o", At("bad.kvt")};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(Kvt(args).status, 2) << extra[0];
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.kvt"));
    }
}
