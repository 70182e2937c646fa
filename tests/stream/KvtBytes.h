// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stream file bytes for tests, including malformed ones.

#include <array>
#include <cstdint>
#include <vector>

#include "TestStreams.h"

using FileBytes = std::vector<unsigned char>;

struct HeaderFields {
    int width = 0;
    int height = 0;
    unsigned frames = 0;
    unsigned frameSize = 0;
    std::array<std::uint16_t, 4> reserved{};
    unsigned char first = 'K';
    unsigned char second = 'V';
};

// The 24-byte little-endian header, with any two type bytes.
inline FileBytes Header(const HeaderFields& f)
{
    FileBytes h = HeaderBytes(f.width, f.height, static_cast<std::uint16_t>(f.frames), f.frameSize, f.reserved);
    h[0] = f.first;
    h[1] = f.second;
    return h;
}

// A well-formed header for frames of width x height.
inline FileBytes Header(int width, int height, unsigned frames)
{
    return Header({width, height, frames, static_cast<unsigned>(width * height)});
}

inline FileBytes operator+(FileBytes a, const FileBytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
