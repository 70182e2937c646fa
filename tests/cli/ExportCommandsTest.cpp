// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

#include "GreyFrames.h"
#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 37;  // odd: the reader's rows carry alignment bytes
constexpr int kHeight = 11;
constexpr int kFrames = 4;

QImage Load(const fs::path& path)
{
    return QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_Grayscale8);
}

class ExportCommands : public testing::Test {
protected:
    void SetUp() override
    {
        std::vector<unsigned char> bytes = HeaderBytes(kWidth, kHeight, kFrames, kWidth * kHeight);
        for (int k = 0; k < kFrames; ++k) {
            const QImage frame = MakeGreyFrame(k, kWidth, kHeight);
            for (int y = 0; y < kHeight; ++y)
                bytes.insert(bytes.end(), frame.constScanLine(y), frame.constScanLine(y) + kWidth);
        }
        WriteBytes(m_in, bytes);
    }

    KvtRun Kvt(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, m_in.string());
        return RunKvt(args, m_dir / "stderr.txt");
    }

    TempDir m_dir;
    fs::path m_in = m_dir / "share.kvt";
};
}  // namespace

TEST_F(ExportCommands, NumberedPicturesHoldEachFrameExactlyUnderItsIndex)
{
    for (const char* extension : {"png", "pgm"}) {
        const std::string pattern = (m_dir / "f-%02d.").string() + extension;
        ASSERT_EQ(Kvt({"export", "-o", pattern, "--frames", "1..2"}).status, 0);
        EXPECT_FALSE(fs::exists(m_dir / ("f-00." + std::string(extension))));
        for (int k : {1, 2})
            EXPECT_EQ(Load(m_dir / ("f-0" + std::to_string(k) + "." + extension)), MakeGreyFrame(k)) << extension;
    }
}

TEST_F(ExportCommands, ScaleMakesEveryPixelABlock)
{
    ASSERT_EQ(Kvt({"export", "-o", (m_dir / "one.png").string(), "--frames", "3", "--scale", "3"}).status, 0);
    const QImage big = Load(m_dir / "one.png");
    const QImage frame = MakeGreyFrame(3);
    ASSERT_EQ(big.size(), frame.size() * 3);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            ASSERT_EQ(big.constScanLine(y)[x], frame.constScanLine(y / 3)[x / 3]) << x << ", " << y;
}

TEST_F(ExportCommands, GifGivesBackEveryFrameAndWarnsOfDelaysItCanNotKeep)
{
    const KvtRun run = Kvt({"export", "-o", (m_dir / "a.gif").string(), "--delay", "30"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    QImageReader reader(QString::fromStdString((m_dir / "a.gif").string()));
    ASSERT_EQ(reader.imageCount(), kFrames);
    for (int k = 0; k < kFrames; ++k)
        EXPECT_EQ(reader.read().convertToFormat(QImage::Format_Grayscale8), MakeGreyFrame(k)) << k;

    const struct {
        const char* delay;
        int setMs;
        const char* warning;
    } kept[] = {
        {"10", 20, "shorter than 20 ms for 100 ms; each frame is set to 20 ms rather than 10 ms: the animation "
                   "plays at 50 frames a second, not 100\n"},
        {"25", 30, "hundredths of a second; each frame is set to 30 ms rather than 25 ms: the animation plays at "
                   "33.33 frames a second, not 40\n"},
        {"33", 30, "30 ms rather than 33 ms: the animation plays at 33.33 frames a second, not 30.3"},
    };
    for (const auto& delay : kept) {
        const KvtRun warned = Kvt({"export", "-o", (m_dir / "b.gif").string(), "--delay", delay.delay});
        ASSERT_EQ(warned.status, 0);
        EXPECT_NE(warned.err.find(delay.warning), std::string::npos) << warned.err;
        QImageReader played(QString::fromStdString((m_dir / "b.gif").string()));
        played.read();
        EXPECT_EQ(played.nextImageDelay(), delay.setMs) << delay.delay;
    }
}

TEST_F(ExportCommands, MkvGivesBackEveryFrameAtTheDelay)
{
    ASSERT_EQ(Kvt({"export", "-o", (m_dir / "a.mkv").string(), "--delay", "250"}).status, 0);
    ExpectTestFrames(DecodeGreyVideo(m_dir / "a.mkv"), kFrames, 250);
}

TEST_F(ExportCommands, RefusalsLeaveAnExistingOutputUntouched)
{
    WriteBytes(m_dir / "a.gif", {'o', 'l', 'd'});
    EXPECT_EQ(Kvt({"export", "-o", (m_dir / "a.gif").string(), "--frames", "2..9"}).status, 2);
    EXPECT_EQ(ReadBytes(m_dir / "a.gif"), (std::vector<unsigned char>{'o', 'l', 'd'}));

    const KvtRun run = Kvt({"export", "-o", (m_dir / "one.png").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("names one file for 4 frames"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_dir / "one.png"));
}

TEST_F(ExportCommands, FramesWithoutPixelsAreRefusedByEveryOutput)
{
    const fs::path empty = m_dir / "empty.kvt";
    WriteBytes(empty, HeaderBytes(0, 5, 2, 0));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", empty.string(), "-o", (m_dir / "f-%d.png").string()},
          {"export", empty.string(), "-o", (m_dir / "a.gif").string()},
          {"print", empty.string(), "-o", (m_dir / "a.pdf").string(), "--dpi", "300"}}) {
        const KvtRun run = RunKvt(args, m_dir / "stderr.txt");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "kvt: " + empty.string() + ": its frames are 0 x 5 pixels: there is no picture\n");
    }
    EXPECT_FALSE(fs::exists(m_dir / "f-0.png"));
    EXPECT_FALSE(fs::exists(m_dir / "a.gif"));
    EXPECT_FALSE(fs::exists(m_dir / "a.pdf"));
}

TEST_F(ExportCommands, PrintMakesOnePagePerFrame)
{
    const fs::path pdf = m_dir / "a.pdf";
    ASSERT_EQ(Kvt({"print", "-o", pdf.string(), "--subpixel", "1mm", "--frames", "1..3"}).status, 0);
    const std::string command = "pdfinfo '" + pdf.string() + "' | grep -q '^Pages: *3$'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(ExportCommands, PrintTakesLengthsWithTheirUnitOnly)
{
    EXPECT_EQ(Kvt({"print", "-o", (m_dir / "a.pdf").string(), "--subpixel", "0.02in"}).status, 0);
    const KvtRun bare = Kvt({"print", "-o", (m_dir / "b.pdf").string(), "--subpixel", "0.4"});
    EXPECT_EQ(bare.status, 2);
    EXPECT_EQ(bare.err, "kvt print: --subpixel 0.4: expected a length with its unit: mm, cm, in, um or pt, such as "
                        "0.4mm\n");
    EXPECT_FALSE(fs::exists(m_dir / "b.pdf"));
}

TEST_F(ExportCommands, PrintRefusesAPictureTooLargeForThePageNamingTheLargestSize)
{
    const fs::path pdf = m_dir / "a.pdf";
    // 37 pixels across a landscape A4 page's 261 mm of room: 7.054 mm at most.
    const KvtRun run = Kvt({"print", "-o", pdf.string(), "--subpixel", "10mm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kvt print: 37 x 11 pixels of 10 mm do not fit on A4 paper with their marks and caption; "
                       "the largest that fits is --subpixel 7.054mm (or --dpi 4)\n");
    EXPECT_FALSE(fs::exists(pdf));
}
