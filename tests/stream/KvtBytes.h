#pragma once
// The bytes of stream files, spelled out for tests.

#include <array>
#include <cstdint>
#include <vector>

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

// The 24-byte little-endian header.
inline FileBytes Header(const HeaderFields& f)
{
    FileBytes h{f.first, f.second};
    auto put = [&h](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    put(f.reserved[0], 2);
    put(f.reserved[1], 2);
    put(f.frameSize, 4);
    put(static_cast<std::uint32_t>(f.width), 4);
    put(static_cast<std::uint32_t>(f.height), 4);
    put(f.frames, 2);
    put(f.reserved[2], 2);
    put(f.reserved[3], 2);
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
