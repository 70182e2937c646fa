// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-frame stream whose pixels all differ, to check where each one lands.

#include <memory>

#include "stream/ImageStream.h"

// A stream of one frame whose pixel (col, row) is 10 * row + col + 1, so that every pixel and its
// place can be told apart.
inline std::unique_ptr<CImageStream> MakeRampStream(int width, int height)
{
    auto stream = std::make_unique<CImageStream>();
    stream->Initialize(width, height, 1);
    FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            frame[row * stream->GetRowStride() + col] = static_cast<BYTE>(10 * row + col + 1);
    stream->AppendFrame(std::move(frame));
    return stream;
}
