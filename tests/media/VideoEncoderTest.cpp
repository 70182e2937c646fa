#include "media/VideoEncoder.h"

#include <QImageReader>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GreyFrames.h"
#include "TempDir.h"

namespace {
constexpr int kFrames = 4;

// Writes kFrames test frames with `kind`; the encoder's error when it fails.
std::string Encode(const std::filesystem::path& path, VideoKind kind, int delayMs)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    CVideoEncoder encoder;
    bool ok = encoder.Open(fd, kind, 37, 11, delayMs);
    for (int k = 0; ok && k < kFrames; ++k)
        ok = encoder.WriteFrame(MakeGreyFrame(k));
    ok = ok && encoder.Finish();
    ::close(fd);
    return ok ? std::string() : encoder.GetError();
}

class LosslessVideo : public testing::TestWithParam<std::pair<VideoKind, const char*>> {};
}  // namespace

TEST_P(LosslessVideo, GivesBackEveryFrameExactlyAtTheDelay)
{
    TempDir dir;
    const auto path = dir / "out";
    ASSERT_EQ(Encode(path, GetParam().first, 40), "");
    const DecodedVideo video = DecodeGreyVideo(path);
    EXPECT_EQ(video.codec, GetParam().second);
    ASSERT_EQ(video.frames.size(), std::size_t{kFrames});
    for (int k = 0; k < kFrames; ++k) {
        EXPECT_EQ(video.frames[k], MakeGreyFrame(k)) << "frame " << k;
        EXPECT_DOUBLE_EQ(video.startsMs[k] - video.startsMs[0], 40.0 * k);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, LosslessVideo,
                         testing::Values(std::pair{VideoKind::mkv, "ffv1"}, std::pair{VideoKind::mp4, "h264"}));

TEST(VideoEncoder, Mp4IsLosslessWithLibx264)
{
    CVideoEncoder encoder;
    TempDir dir;
    const int fd = ::open((dir / "a.mp4").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_TRUE(encoder.Open(fd, VideoKind::mp4, 8, 8, 100));
    EXPECT_EQ(encoder.GetEncoderName(), "libx264");
    EXPECT_TRUE(encoder.IsLossless());
    ::close(fd);
}

// Qt's own GIF reader, not FFmpeg's, checks that all 256 greys come back and the animation loops.
TEST(VideoEncoder, GifKeepsAll256GreysLoopsAndRoundsTheDelayToHundredths)
{
    TempDir dir;
    const auto path = dir / "a.gif";
    ASSERT_EQ(Encode(path, VideoKind::gif, 74), "");
    QImageReader reader(QString::fromStdString(path.string()));
    EXPECT_EQ(reader.imageCount(), kFrames);
    EXPECT_EQ(reader.loopCount(), -1);  // for ever
    for (int k = 0; k < kFrames; ++k) {
        const QImage frame = reader.read();
        EXPECT_EQ(frame.convertToFormat(QImage::Format_Grayscale8), MakeGreyFrame(k)) << "frame " << k;
        EXPECT_EQ(reader.nextImageDelay(), 70);
    }
    EXPECT_EQ(GifDelayHundredths(74), 7);
    EXPECT_EQ(GifDelayHundredths(75), 8);
    EXPECT_EQ(GifDelayHundredths(1), 1);
}

TEST(VideoEncoder, AFailedWriteIsReportedWithTheSystemsReason)
{
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    CVideoEncoder encoder;
    bool ok = encoder.Open(fd, VideoKind::mkv, 320, 200, 100);
    for (int k = 0; ok && k < 50; ++k)
        ok = encoder.WriteFrame(MakeGreyFrame(k, 320, 200));
    ok = ok && encoder.Finish();
    ::close(fd);
    EXPECT_FALSE(ok);
    EXPECT_NE(encoder.GetError().find("No space left on device"), std::string::npos) << encoder.GetError();
}
