// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grey test pictures and ways to read them back: every grey 0..255 appears in every frame, the top
// rows stay still and the rest changes, so a lossy, reordering or badly diffing writer shows.

#include <QImage>
#include <gtest/gtest.h>
#include <filesystem>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

// An odd width, so rows carry alignment bytes in a stream's layout.
inline QImage MakeGreyFrame(int frame, int width = 37, int height = 11)
{
    QImage picture(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.scanLine(y)[x] = static_cast<uchar>(x + width * y + (y < 3 ? 0 : 29 * frame));
    return picture;
}

struct DecodedVideo {
    std::vector<QImage> frames;
    std::vector<double> startsMs;
    std::string codec;
};

// Every frame of the file's video, decoded by FFmpeg: the grey (luma) plane; H.264 decodes grey
// pictures as YUV with neutral colour planes.
inline DecodedVideo DecodeGreyVideo(const std::filesystem::path& path)
{
    DecodedVideo video;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return video;
    avformat_find_stream_info(format, nullptr);
    const AVStream* stream = format->streams[0];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, stream->codecpar);
    avcodec_open2(codec, decoder, nullptr);
    video.codec = decoder->name;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto receive = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            QImage picture(frame->width, frame->height, QImage::Format_Grayscale8);
            for (int y = 0; y < frame->height; ++y)
                std::copy_n(frame->data[0] + y * frame->linesize[0], frame->width, picture.scanLine(y));
            video.frames.push_back(picture);
            video.startsMs.push_back(1000.0 * static_cast<double>(frame->best_effort_timestamp) *
                                     av_q2d(stream->time_base));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        receive();
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return video;
}

// The video holds test frames 0 to count - 1 exactly, delayMs apart.
inline void ExpectTestFrames(const DecodedVideo& video, int count, double delayMs)
{
    ASSERT_EQ(video.frames.size(), static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        EXPECT_EQ(video.frames[k], MakeGreyFrame(k)) << "frame " << k;
        EXPECT_DOUBLE_EQ(video.startsMs[k] - video.startsMs[0], delayMs * k) << "frame " << k;
    }
}
