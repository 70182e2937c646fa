// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Streams built in memory for tests.

#include <cstring>
#include <array>
#include <memory>
#include <vector>

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

// The 24 header bytes of a stream file, little-endian as on disk.
inline std::vector<unsigned char> HeaderBytes(std::int32_t width, std::int32_t height, std::uint16_t frames,
                                            std::uint32_t frameSize,
                                            std::array<std::uint16_t, 4> reserved = {0, 0, 0, 0})
{
    std::vector<unsigned char> bytes;
    auto put = [&bytes](std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    put('K', 1);
    put('V', 1);
    put(reserved[0], 2);
    put(reserved[1], 2);
    put(frameSize, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(frames, 2);
    put(reserved[2], 2);
    put(reserved[3], 2);
    return bytes;
}

// A stream file of frames of `width` x `height` pixels, given row by row without alignment; as
// many frames as the pixels fill.
inline std::vector<unsigned char> KvtFile(int width, int height, const std::vector<unsigned char>& pixels)
{
    const auto frameSize = static_cast<std::uint32_t>(width * height);
    auto bytes = HeaderBytes(width, height, static_cast<std::uint16_t>(pixels.size() / frameSize), frameSize);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}
