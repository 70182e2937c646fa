// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoGrey.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>

namespace {
// Whether the frame's luma runs over the full 0..255: the frame says so, or its format does (the
// JPEG-range YUV formats; grey, unless the frame says otherwise, as swscale also takes it).
bool IsFullRange(const AVFrame& frame, const AVPixFmtDescriptor& layout)
{
    if (frame.color_range != AVCOL_RANGE_UNSPECIFIED)
        return frame.color_range == AVCOL_RANGE_JPEG;
    switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return layout.nb_components <= 2;
    }
}

// 8-bit luma alone in the first plane, one byte a pixel.
bool HasLumaPlane(const AVPixFmtDescriptor& layout)
{
    return !(layout.flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM |
                             AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BAYER)) &&
           layout.comp[0].plane == 0 && layout.comp[0].step == 1 && layout.comp[0].offset == 0 &&
           layout.comp[0].shift == 0 && layout.comp[0].depth == 8 &&
           (layout.nb_components == 1 || layout.comp[1].plane != 0);
}
}  // namespace

bool CVideoGrey::Convert(const AVFrame& frame, QImage& grey)
{
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    if (layout == nullptr)
        return false;
    if (grey.size() != QSize(frame.width, frame.height) || grey.format() != QImage::Format_Grayscale8)
        grey = QImage(frame.width, frame.height, QImage::Format_Grayscale8);
    const bool fullRange = IsFullRange(frame, *layout);
    if (!HasLumaPlane(*layout))
        return Scale(frame, fullRange, grey);
    CopyLuma(frame, fullRange, grey);
    return true;
}

namespace {
// round((luma - 16) * 255 / 219) within 0..255, in integer steps the compiler does 16 pixels at a
// time: (v * 2385 + 986) >> 11 is exact for every v = luma - 16 below 240.
void StretchLimitedRange(const std::uint8_t* from, uchar* to, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t v = from[x] > 16 ? from[x] - 16u : 0u;
        to[x] = static_cast<uchar>(std::min<std::uint32_t>(255, (v * 2385 + 986) >> 11));
    }
}
}  // namespace

void CVideoGrey::CopyLuma(const AVFrame& frame, bool fullRange, QImage& grey)
{
    const auto width = static_cast<std::size_t>(frame.width);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* from = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        if (fullRange)
            std::memcpy(grey.scanLine(y), from, width);
        else
            StretchLimitedRange(from, grey.scanLine(y), width);
    }
}

bool CVideoGrey::Scale(const AVFrame& frame, bool fullRange, QImage& grey)
{
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height,
                                        static_cast<AVPixelFormat>(frame.format), frame.width, frame.height,
                                        AV_PIX_FMT_GRAY8, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return false;
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceFull = 0, destinationFull = 0, brightness = 0, contrast = 0, saturation = 0;
    sws_getColorspaceDetails(m_scaler.get(), &inverseTable, &sourceFull, &table, &destinationFull, &brightness,
                             &contrast, &saturation);
    if (sourceFull != static_cast<int>(fullRange) || destinationFull != 1)
        sws_setColorspaceDetails(m_scaler.get(), inverseTable, fullRange, table, 1, brightness, contrast, saturation);
    ffmpeg::ScaleRows(m_scaler.get(), frame.data, frame.linesize, frame.height, grey.bits(), grey.bytesPerLine(),
                      frame.width, frame.height, m_scaled);
    return true;
}
