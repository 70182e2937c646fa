// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoEncoder.h"

#include <QImageReader>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GreyFrames.h"
#include "media/Ffmpeg.h"
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
}  // namespace

// The frames of .gif and .mkv exports come back exactly in the export command's tests.
TEST(VideoEncoder, Mp4WithLibx264GivesBackEveryFrameExactlyAtTheDelay)
{
    TempDir dir;
    const auto path = dir / "a.mp4";
    ASSERT_EQ(Encode(path, VideoKind::mp4, 40), "");
    const DecodedVideo video = DecodeGreyVideo(path);
    EXPECT_EQ(video.codec, "h264");
    ExpectTestFrames(video, kFrames, 40);
}

TEST(VideoEncoder, GifLoopsForEverAndRoundsTheDelayToHundredths)
{
    TempDir dir;
    const auto path = dir / "a.gif";
    ASSERT_EQ(Encode(path, VideoKind::gif, 74), "");
    QImageReader reader(QString::fromStdString(path.string()));
    EXPECT_EQ(reader.imageCount(), kFrames);
    EXPECT_EQ(reader.loopCount(), -1);  // for ever
    reader.read();
    EXPECT_EQ(reader.nextImageDelay(), 70);
    EXPECT_EQ(GifDelayHundredths(74), 7);
    EXPECT_EQ(GifDelayHundredths(75), 8);
    // Browsers show frames shorter than 20 ms for 100 ms.
    for (const int shortDelay : {1, 10, 14, 15, 20})
        EXPECT_EQ(GifDelayHundredths(shortDelay), 2) << shortDelay;
}

// The parameter sets belong in the avcC box of the MP4's header, not in the first frame.
TEST(VideoEncoder, Mp4KeepsItsParameterSetsInTheHeaderOnly)
{
    TempDir dir;
    const auto path = dir / "a.mp4";
    ASSERT_EQ(Encode(path, VideoKind::mp4, 40), "");
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), 0);
    const ffmpeg::InputPtr input(raw);
    const AVCodecParameters& video = *input->streams[0]->codecpar;
    ASSERT_GT(video.extradata_size, 7);
    EXPECT_EQ(video.extradata[0], 1);  // avcC's version, where Annex B would start with 0 0 0 1
    const ffmpeg::PacketPtr packet(av_packet_alloc());
    ASSERT_EQ(av_read_frame(input.get(), packet.get()), 0);
    // The frame's units, each after its 4-byte length: none a sequence (7) or picture (8) set.
    for (int at = 0; at + 4 < packet->size;) {
        const std::uint8_t* unit = packet->data + at;
        const int length = unit[0] << 24 | unit[1] << 16 | unit[2] << 8 | unit[3];
        const int type = unit[4] & 0x1f;
        EXPECT_NE(type, 7);
        EXPECT_NE(type, 8);
        at += 4 + length;
    }
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
