#pragma once
// Streams built in memory for tests.

#include <cstring>
#include <memory>

#include "stream/ImageStream.h"

// A "KV" stream of `frames` frames whose frame k has every pixel (alignment bytes excluded) set to
// tag + k, so a test can tell frames and their origins apart.
inline std::unique_ptr<CImageStream> MakeTaggedStream(int width, int height, int frames, BYTE tag)
{
    auto stream = std::make_unique<CImageStream>();
    stream->Initialize(width, height, static_cast<std::uint16_t>(frames));
    for (int k = 0; k < frames; ++k) {
        FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
        for (int y = 0; y < height; ++y)
            std::memset(frame.get() + y * stream->GetRowStride(), tag + k, static_cast<std::size_t>(width));
        stream->AppendFrame(std::move(frame));
    }
    return stream;
}

// The first pixel of every frame, in list order.
inline std::vector<BYTE> FirstPixels(const CImageStream& stream)
{
    std::vector<BYTE> pixels;
    for (POSITION pos = stream.GetHeadPosition(); pos;)
        pixels.push_back(*stream.GetNextFrame(pos));
    return pixels;
}
