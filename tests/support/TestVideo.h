// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Videos and animated GIFs for tests, made with FFmpeg's own encoders: one flat grey per frame, so
// each decoded frame tells which one it is. Link kvt_media (for FFmpeg) to use it.

#include <algorithm>
#include <filesystem>
#include <vector>

#include "media/Ffmpeg.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

struct TestVideo {
    const char* container;  // "matroska", "gif", ...
    AVCodecID codec;
    AVPixelFormat format;
    int width;
    int height;
    AVRational frameDuration;  // seconds per frame
    int turn = 0;              // degrees clockwise a player turns the pictures (the display matrix)
    AVRational pixelShape = {1, 1};  // width : height of a pixel as shown
    int keyInterval = 0;             // frames from one key frame to the next, without B-frames; 0: the encoder's
};

namespace test_video {
struct OutputCloser {
    void operator()(AVFormatContext* output) const
    {
        avio_closep(&output->pb);
        avformat_free_context(output);
    }
};

// Each packet lasts until the next frame's time (the last for one frame): MP4 would otherwise end
// the video where the last frame starts.
inline bool WritePackets(AVCodecContext* encoder, AVFormatContext* output, const AVFrame* frame,
                         const std::vector<std::int64_t>& times)
{
    if (avcodec_send_frame(encoder, frame) < 0)
        return false;
    const ffmpeg::PacketPtr packet(av_packet_alloc());
    while (avcodec_receive_packet(encoder, packet.get()) == 0) {
        const auto next = std::upper_bound(times.begin(), times.end(), packet->pts);
        packet->duration = next == times.end() ? 1 : *next - packet->pts;
        av_packet_rescale_ts(packet.get(), encoder->time_base, output->streams[0]->time_base);
        packet->stream_index = 0;
        if (av_interleaved_write_frame(output, packet.get()) < 0)
            return false;
    }
    return true;
}

// Luma `grey` all over (chroma neutral): every byte of the first plane `grey`, so packed RGB gets
// it in each channel too, and 128 in the other planes.
inline void FillFrame(AVFrame* frame, int grey)
{
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    for (int plane = 0; plane < AV_NUM_DATA_POINTERS && frame->data[plane] != nullptr; ++plane) {
        const int rows = plane == 0 ? frame->height : AV_CEIL_RSHIFT(frame->height, layout->log2_chroma_h);
        for (int y = 0; y < rows; ++y)
            std::fill_n(frame->data[plane] + y * frame->linesize[plane], frame->linesize[plane], plane == 0 ? grey : 128);
    }
}
}  // namespace test_video

// Writes `greys.size()` frames of `video`, frame n flat grey greys[n], shown from times[n] frame
// durations on (from n when `times` is empty). False when FFmpeg refused.
inline bool WriteTestVideo(const std::filesystem::path& path, const TestVideo& video, const std::vector<int>& greys,
                           std::vector<std::int64_t> times = {})
{
    for (std::size_t n = times.size(); n < greys.size(); ++n)
        times.push_back(static_cast<std::int64_t>(n));
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, video.container, path.c_str()) < 0)
        return false;
    const std::unique_ptr<AVFormatContext, test_video::OutputCloser> output(raw);
    const AVCodec* codec = avcodec_find_encoder(video.codec);
    AVStream* stream = avformat_new_stream(raw, nullptr);
    const ffmpeg::CodecContextPtr encoder(avcodec_alloc_context3(codec));
    if (codec == nullptr || stream == nullptr || !encoder)
        return false;
    encoder->width = video.width;
    encoder->height = video.height;
    encoder->pix_fmt = video.format;
    encoder->time_base = video.frameDuration;
    encoder->framerate = av_inv_q(video.frameDuration);
    encoder->sample_aspect_ratio = video.pixelShape;
    if (video.keyInterval > 0) {
        encoder->gop_size = video.keyInterval;
        encoder->max_b_frames = 0;
        encoder->qmax = 3;  // fine enough that each frame's grey comes back within one or two
    }
    if (raw->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0 ||
        avcodec_parameters_from_context(stream->codecpar, encoder.get()) < 0)
        return false;
    stream->time_base = encoder->time_base;
    stream->sample_aspect_ratio = video.pixelShape;
    if (video.turn != 0) {
        auto* matrix = reinterpret_cast<std::int32_t*>(av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * 4));
        if (matrix == nullptr)
            return false;
        av_display_rotation_set(matrix, -video.turn);
    }
    if (avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(raw, nullptr) < 0)
        return false;

    const ffmpeg::FramePtr frame(av_frame_alloc());
    frame->format = video.format;
    frame->width = video.width;
    frame->height = video.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return false;
    for (std::size_t n = 0; n < greys.size(); ++n) {
        if (av_frame_make_writable(frame.get()) < 0)
            return false;
        test_video::FillFrame(frame.get(), greys[n]);
        frame->pts = times[n];
        if (!test_video::WritePackets(encoder.get(), raw, frame.get(), times))
            return false;
    }
    return test_video::WritePackets(encoder.get(), raw, nullptr, times) && av_write_trailer(raw) == 0;
}
