// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A decoded video frame as grey: the video's own luma, stretched to 0..255 when the video keeps it
// within 16..235 (as most do). Formats that carry 8-bit luma in a plane of its own (YUV, grey) give
// it directly; any other (RGB, deeper samples) goes through swscale.

#include <QImage>
#include <cstdint>
#include <vector>

#include "media/Ffmpeg.h"

class CVideoGrey {
public:
    // Writes `frame`'s grey into `grey` (Format_Grayscale8, the frame's size). False when swscale
    // can't convert the frame's format.
    bool Convert(const AVFrame& frame, QImage& grey);

private:
    static void CopyLuma(const AVFrame& frame, bool fullRange, QImage& grey);
    bool Scale(const AVFrame& frame, bool fullRange, QImage& grey);

    ffmpeg::ScalerPtr m_scaler;
    std::vector<std::uint8_t> m_scaled;  // the scaler's rows, before they go into the picture
};
