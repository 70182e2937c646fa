// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameSource.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestVideo.h"

namespace {
constexpr TestVideo kLossless{"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_GRAY8, 64, 48, {1, 10}};

std::vector<int> Greys(int count, int step)
{
    std::vector<int> greys;
    for (int n = 0; n < count; ++n)
        greys.push_back(n * step % 256);
    return greys;
}

// Every frame the source gives, each checked to be one flat grey, as that grey.
std::vector<int> ReadAll(CFrameSource& source, QSize expectedSize)
{
    std::vector<int> greys;
    QImage grey;
    FrameRead read;
    while ((read = source.ReadFrame(grey)) == FrameRead::frame) {
        EXPECT_EQ(grey.size(), expectedSize);
        EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
        const int first = grey.constScanLine(0)[0];
        for (int y = 0; y < grey.height(); ++y) {
            for (int x = 0; x < grey.width(); ++x)
                EXPECT_EQ(grey.constScanLine(y)[x], first) << "frame " << greys.size();
        }
        greys.push_back(first);
    }
    EXPECT_EQ(read, FrameRead::end) << source.GetError();
    return greys;
}

std::unique_ptr<CFrameSource> Open(const std::vector<std::filesystem::path>& inputs, const VideoRange& range = {})
{
    std::string error;
    auto source = OpenFrameSource(inputs, range, error);
    EXPECT_TRUE(source) << error;
    return source;
}

QImage Picture(QSize size, QColor colour)
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}
}  // namespace

TEST(VideoSource, GivesEveryFrameInOrderAtTheVideosSize)
{
    TempDir dir;
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", kLossless, Greys(20, 10)));
    const auto source = Open({dir / "clip.mkv"});
    EXPECT_EQ(source->GetFrameSize(), QSize(64, 48));
    EXPECT_EQ(source->GetExpectedFrameCount(), 20u);
    EXPECT_EQ(ReadAll(*source, QSize(64, 48)), Greys(20, 10));
}

TEST(VideoSource, ShowsFramesUprightWithSquarePixels)
{
    TempDir dir;
    const TestVideo sideways{"mp4", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 64, 48, {1, 10}, 90};
    ASSERT_TRUE(WriteTestVideo(dir / "phone.mp4", sideways, Greys(3, 100)));
    const auto turned = Open({dir / "phone.mp4"});
    EXPECT_EQ(turned->GetFrameSize(), QSize(48, 64));
    EXPECT_EQ(ReadAll(*turned, QSize(48, 64)).size(), 3u);

    const TestVideo wide{"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_GRAY8, 64, 48, {1, 10}, 0, {3, 2}};
    ASSERT_TRUE(WriteTestVideo(dir / "wide.mkv", wide, Greys(3, 100)));
    const auto widened = Open({dir / "wide.mkv"});
    EXPECT_EQ(widened->GetFrameSize(), QSize(96, 48));
    EXPECT_EQ(ReadAll(*widened, QSize(96, 48)), Greys(3, 100));
}

TEST(VideoSource, SamplesTheFrameOnScreenAtEachInstant)
{
    TempDir dir;
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", kLossless, Greys(20, 10)));
    // 10 fps sampled at 5: every second frame.
    const auto slower = Open({dir / "clip.mkv"}, {0, std::nullopt, 5.0});
    EXPECT_EQ(slower->GetExpectedFrameCount(), 10u);
    EXPECT_EQ(ReadAll(*slower, QSize(64, 48)), Greys(10, 20));
    // At 20: every frame twice.
    const auto faster = Open({dir / "clip.mkv"}, {0, std::nullopt, 20.0});
    std::vector<int> twice;
    for (int grey : Greys(20, 10))
        twice.insert(twice.end(), {grey, grey});
    EXPECT_EQ(ReadAll(*faster, QSize(64, 48)), twice);
}

TEST(VideoSource, StartsAndStopsWhereTheRangeSays)
{
    TempDir dir;
    ASSERT_TRUE(WriteTestVideo(dir / "clip.mkv", kLossless, Greys(20, 10)));
    const auto every = Open({dir / "clip.mkv"}, {1.0, 0.5, std::nullopt});
    EXPECT_EQ(every->GetExpectedFrameCount(), 5u);
    EXPECT_EQ(ReadAll(*every, QSize(64, 48)), (std::vector<int>{100, 110, 120, 130, 140}));
    // Instants 0.5, 0.75, 1 and 1.25 s take the frame nearest to them, the later at a tie.
    const auto sampled = Open({dir / "clip.mkv"}, {0.5, 1.0, 4.0});
    EXPECT_EQ(ReadAll(*sampled, QSize(64, 48)), (std::vector<int>{60, 80, 110, 130}));
    const auto pastTheEnd = Open({dir / "clip.mkv"}, {5.0, std::nullopt, std::nullopt});
    EXPECT_EQ(pastTheEnd->GetExpectedFrameCount(), 0u);
    EXPECT_TRUE(ReadAll(*pastTheEnd, QSize(64, 48)).empty());
}

// Most video keeps its luma between 16 and 235: those are black and white. RGB video goes through
// swscale instead, to the same greys.
TEST(VideoSource, StretchesVideoLumaToTheFullRange)
{
    TempDir dir;
    const TestVideo limited{"matroska", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}};
    ASSERT_TRUE(WriteTestVideo(dir / "yuv.mkv", limited, {16, 235, 126}));
    const TestVideo rgb{"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_BGR0, 64, 48, {1, 25}};
    ASSERT_TRUE(WriteTestVideo(dir / "rgb.mkv", rgb, {0, 255, 128}));
    for (const char* name : {"yuv.mkv", "rgb.mkv"}) {
        const auto source = Open({dir / name});
        QImage grey;
        for (const int expected : {0, 255, 128}) {
            ASSERT_EQ(source->ReadFrame(grey), FrameRead::frame);
            EXPECT_NEAR(grey.constScanLine(24)[32], expected, 2) << name;
        }
    }
}

TEST(PictureSource, GivesEveryFrameOfAnAnimatedGif)
{
    TempDir dir;
    const TestVideo gif{"gif", AV_CODEC_ID_GIF, AV_PIX_FMT_GRAY8, 40, 30, {1, 10}};
    ASSERT_TRUE(WriteTestVideo(dir / "anim.gif", gif, Greys(7, 30)));
    const auto source = Open({dir / "anim.gif"});
    EXPECT_EQ(source->GetExpectedFrameCount(), 7u);
    ASSERT_TRUE(source->GetFrameRate());
    EXPECT_NEAR(*source->GetFrameRate(), 10, 0.01);
    EXPECT_EQ(ReadAll(*source, QSize(40, 30)), Greys(7, 30));
}

TEST(PictureSource, GivesPicturesInOrderLaidOnWhite)
{
    TempDir dir;
    ASSERT_TRUE(Picture(QSize(8, 6), QColor(255, 0, 0)).save(QString::fromStdString((dir / "red.png").string())));
    ASSERT_TRUE(Picture(QSize(5, 5), QColor(0, 0, 0, 0)).save(QString::fromStdString((dir / "clear.png").string())));
    ASSERT_TRUE(Picture(QSize(5, 5), QColor(0, 0, 255, 128)).save(QString::fromStdString((dir / "blue.png").string())));
    const auto source = Open({dir / "red.png", dir / "clear.png", dir / "blue.png"});
    EXPECT_EQ(source->GetFrameSize(), QSize(8, 6));
    EXPECT_EQ(source->GetExpectedFrameCount(), 3u);
    QImage grey;
    // Rec. 601 luma: red 0.299, blue 0.114; half-covered blue over white (255 - 128) + 0.114 * 128.
    for (const auto& [size, expected] : {std::pair{QSize(8, 6), 76}, {QSize(5, 5), 255}, {QSize(5, 5), 142}}) {
        ASSERT_EQ(source->ReadFrame(grey), FrameRead::frame);
        EXPECT_EQ(grey.size(), size);
        EXPECT_NEAR(grey.constScanLine(1)[1], expected, 1);
    }
    EXPECT_EQ(source->ReadFrame(grey), FrameRead::end);
}

TEST(PictureSource, APicturePastQtsAllocationLimitIsNamedWithItsSize)
{
    TempDir dir;
    ASSERT_TRUE(Picture(QSize(600, 500), Qt::white).save(QString::fromStdString((dir / "big.png").string())));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    std::string error;
    EXPECT_FALSE(OpenFrameSource({dir / "big.png"}, {}, error));
    QImageReader::setAllocationLimit(limit);
    EXPECT_NE(error.find("600 x 500 pixels, more than the 1 MB a picture may take in memory"), std::string::npos)
        << error;
}
