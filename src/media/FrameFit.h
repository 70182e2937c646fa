// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sizing: every frame drawn into the stream's size, scaled with swscale's bicubic filter (which
// widens with the reduction, so a smaller picture averages what it drops).

#include <QImage>
#include <QRect>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/Ffmpeg.h"

enum class FitMode {
    contain,  // the whole picture, white bars where its shape differs
    cover,    // the middle of the picture filling the frame, the rest cut off
    stretch,  // the whole picture, reshaped to the frame
};

std::optional<FitMode> ParseFitMode(std::string_view name);

// The part of a source picture that is drawn, and where it goes in the target frame.
struct FramePlacement {
    QRect source;
    QRect target;
};

FramePlacement PlaceFrame(QSize source, QSize target, FitMode mode);

// Why a stream can't have frames of `size` (empty when it can): each side 1 to 65536, as the player
// draws, and width * height within the header's 32-bit frame size.
std::optional<std::string> RefuseFrameSize(QSize size);

class CFrameFitter {
public:
    CFrameFitter(QSize target, FitMode mode);

    // Draws `grey` (Format_Grayscale8, any size) into `frame`, which becomes a Format_Grayscale8
    // frame of the target size. False for a picture of no pixels, or when swscale can't scale
    // between the two sizes.
    bool Fit(const QImage& grey, QImage& frame);

private:
    bool Draw(const QImage& grey, const FramePlacement& place, QImage& frame);

    QSize m_target;
    FitMode m_mode;
    ffmpeg::ScalerPtr m_scaler;
    std::vector<uchar> m_scaled;  // the scaler's rows, before they go into the frame
};
