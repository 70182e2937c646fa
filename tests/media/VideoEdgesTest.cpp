// SPDX-License-Identifier: GPL-3.0-or-later
// Video import at the edges: a start inside a container without an index, and the last frame of a
// video whose frames last unequally.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestVideo.h"
#include "media/FrameSource.h"
#include "media/VideoGrey.h"

namespace {
constexpr int kFrames = 60;  // 2.4 s at 25 fps

// Frame n is flat grey 16 + 3n, which the import stretches from video's 16..235 to 0..255.
int StretchedGrey(int n) { return static_cast<int>(std::lround(3 * n * 255.0 / 219.0)); }

std::vector<int> Greys()
{
    std::vector<int> greys;
    for (int n = 0; n < kFrames; ++n)
        greys.push_back(16 + 3 * n);
    return greys;
}

// Which frame each frame given is, by its grey at the centre.
std::vector<int> FramesGiven(const std::filesystem::path& path, const VideoRange& range)
{
    std::string error;
    const auto source = OpenFrameSource({path}, range, error);
    EXPECT_TRUE(source) << error;
    if (!source)
        return {};
    std::vector<int> frames;
    QImage grey;
    while (source->ReadFrame(grey) == FrameRead::frame) {
        const int centre = grey.constScanLine(grey.height() / 2)[grey.width() / 2];
        int nearest = 0;
        for (int n = 1; n < kFrames; ++n)
            if (std::abs(StretchedGrey(n) - centre) < std::abs(StretchedGrey(nearest) - centre))
                nearest = n;
        frames.push_back(nearest);
    }
    EXPECT_EQ(source->GetError(), "");
    return frames;
}

std::vector<int> Consecutive(int from, int count)
{
    std::vector<int> frames;
    for (int k = 0; k < count; ++k)
        frames.push_back(from + k);
    return frames;
}
}  // namespace

std::vector<int> Slice(const std::vector<int>& frames, std::size_t from, std::size_t count)
{
    if (from + count > frames.size())
        return {};
    return std::vector<int>(frames.begin() + static_cast<std::ptrdiff_t>(from),
                            frames.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// MPEG-TS and MPEG-PS find a time by bisecting the file; the seek must still reach back to the
// key frame before the start, also when that is the first frame of all, and a file that can't
// seek is read from its beginning. Whatever the times the
// container gives (MPEG-PS guesses those of small frames), a start gives what reading from the
// beginning gives from there.
TEST(VideoEdges, AStartInsideAGroupOfFramesGivesTheFramesFromThere)
{
    struct Case {
        const char* name;
        TestVideo video;
        bool exactTimes;
    };
    const Case cases[] = {
        {"short.ts", {"mpegts", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 12}, true},
        {"long.ts", {"mpegts", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 50}, true},
        {"h264.ts", {"mpegts", AV_CODEC_ID_H264, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 12}, true},
        {"h264.mp4", {"mp4", AV_CODEC_ID_H264, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 50}, true},
        {"short.mpg", {"mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 12}, false},
        // No times at all: the seek searches the whole file and fails.
        {"raw.h264", {"h264", AV_CODEC_ID_H264, AV_PIX_FMT_YUV420P, 64, 48, {1, 25}, 0, {1, 1}, 12}, true},
    };
    TempDir dir;
    for (const Case& c : cases) {
        if (avcodec_find_encoder(c.video.codec) == nullptr) {
            ADD_FAILURE() << "this FFmpeg has no encoder for " << c.name;
            continue;
        }
        const auto path = dir / c.name;
        // Starting at 1.4 s, as ffmpeg's own MPEG-TS files do.
        std::vector<std::int64_t> times;
        for (int n = 0; n < kFrames; ++n)
            times.push_back(35 + n);
        ASSERT_TRUE(WriteTestVideo(path, c.video, Greys(), times)) << c.name;
        const std::vector<int> at25 = FramesGiven(path, {0, std::nullopt, 25.0});
        const std::vector<int> at10 = FramesGiven(path, {0, std::nullopt, 10.0});
        EXPECT_EQ(FramesGiven(path, {1.6, 0.4, 25.0}), Slice(at25, 40, 10)) << c.name;
        EXPECT_EQ(FramesGiven(path, {0.5, 1.0, 10.0}), Slice(at10, 5, 10)) << c.name;
        if (!c.exactTimes)
            continue;
        EXPECT_EQ(at25, Consecutive(0, kFrames)) << c.name;
        // Instant k takes the frame nearest to it, the later one at a tie, as ffmpeg's fps filter.
        EXPECT_EQ(Slice(at10, 5, 10), (std::vector<int>{13, 16, 18, 21, 23, 26, 28, 31, 33, 36})) << c.name;
        EXPECT_EQ(FramesGiven(path, {1.3, std::nullopt, std::nullopt}), Consecutive(32, 28)) << c.name;
    }
}

// Frames shown at 0, 0.1, 0.2, 0.4 and 0.7 s, the last for 0.1 s: the video ends at 0.8 s, so
// ten frames a second give eight frames, whatever the frame before the last lasted.
TEST(VideoEdges, TheLastFrameLastsUntilTheVideoEnds)
{
    TempDir dir;
    const std::vector<std::int64_t> times = {0, 1, 2, 4, 7};
    const std::pair<const char*, TestVideo> videos[] = {
        {"vfr.mp4", {"mp4", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 64, 48, {1, 10}}},
        {"vfr.mkv", {"matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_YUV420P, 64, 48, {1, 10}}},
    };
    for (const auto& [name, video] : videos) {
        const auto path = dir / name;
        ASSERT_TRUE(WriteTestVideo(path, video, {16, 19, 22, 25, 28}, times));
        std::string error;
        const auto source = OpenFrameSource({path}, {0, std::nullopt, 10.0}, error);
        ASSERT_TRUE(source) << error;
        EXPECT_EQ(source->GetExpectedFrameCount(), 8u) << path;
        EXPECT_EQ(FramesGiven(path, {0, std::nullopt, 10.0}), (std::vector<int>{0, 1, 2, 2, 3, 3, 3, 4})) << path;
    }
}

TEST(VideoEdges, LimitedRangeLumaStretchesToTheNearestFullRangeGrey)
{
    const ffmpeg::FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 256;
    frame->height = 2;
    frame->color_range = AVCOL_RANGE_MPEG;
    ASSERT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
    for (int y = 0; y < 2; ++y)
        for (int luma = 0; luma < 256; ++luma)
            frame->data[0][y * frame->linesize[0] + luma] = static_cast<std::uint8_t>(luma);
    CVideoGrey toGrey;
    QImage grey;
    ASSERT_TRUE(toGrey.Convert(*frame, grey));
    for (int luma = 0; luma < 256; ++luma)
        EXPECT_EQ(grey.constScanLine(1)[luma], std::clamp(std::lround((luma - 16) * 255.0 / 219.0), 0L, 255L)) << luma;
}
