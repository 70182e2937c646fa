// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FFmpeg's C objects held by owners that free them the library's way, and its error codes as text.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace ffmpeg {
struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct OutputFreer {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
// Our own I/O context: FFmpeg may have swapped its buffer, so free the one it holds.
struct IoContextFreer {
    void operator()(AVIOContext* context) const
    {
        if (context != nullptr)
            av_freep(&context->buffer);
        avio_context_free(&context);
    }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFreer>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFreer>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFreer>;

// "Invalid data found when processing input" and the like, for a negative AVERROR code.
inline std::string ErrorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

// Scales a picture into rows of `width` bytes, `toStride` apart. swscale stores whole vectors, past
// a narrow row's end and so past a picture's last row (a 1 x 8 frame gets 8 bytes at its last 4):
// it scales into `rows`, 64 bytes a step, which are then copied in.
inline void ScaleRows(SwsContext* scaler, const std::uint8_t* const from[], const int fromStride[], int fromHeight,
                      std::uint8_t* to, std::ptrdiff_t toStride, int width, int height, std::vector<std::uint8_t>& rows)
{
    const int rowsStride = (width + 63) / 64 * 64;
    rows.resize(static_cast<std::size_t>(rowsStride) * static_cast<std::size_t>(height));
    std::uint8_t* scaled = rows.data();
    sws_scale(scaler, from, fromStride, 0, fromHeight, &scaled, &rowsStride);
    for (int y = 0; y < height; ++y)
        std::memcpy(to + y * toStride, scaled + static_cast<std::ptrdiff_t>(y) * rowsStride,
                    static_cast<std::size_t>(width));
}
}  // namespace ffmpeg
