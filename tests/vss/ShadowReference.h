// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain, separately written shadow generator to check the real one against: byte stores, one
// draw at a time, blocks looked up by which subpixels are black.

#include <cstdint>
#include <vector>

namespace reference {

// One LCG draw, 0..32767.
inline std::uint32_t Draw(std::uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
}

// Black subpixels of shadow 1's block for each pattern, as (top-left, top-right, bottom-left,
// bottom-right).
inline constexpr bool kBlack[6][4] = {
    {true, false, true, false},   // left column
    {true, true, false, false},   // top row
    {false, true, false, true},   // right column
    {false, false, true, true},   // bottom row
    {true, false, false, true},   // top-left, bottom-right
    {false, true, true, false},   // top-right, bottom-left
};

struct Shadows {
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
};

// Shadows of one frame (rows of `stride` bytes); `state` carries on to the next frame.
inline Shadows MakeShadows(const std::uint8_t* secret, int width, int height, int stride,
                           std::uint32_t& state)
{
    const int shadowStride = (2 * width + 3) / 4 * 4;
    Shadows s{std::vector<std::uint8_t>(static_cast<std::size_t>(shadowStride) * 2 * height, 0),
              std::vector<std::uint8_t>(static_cast<std::size_t>(shadowStride) * 2 * height, 0)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = static_cast<int>(Draw(state) % 6);
            const bool secretBlack = secret[y * stride + x] == 0;
            for (int sub = 0; sub < 4; ++sub) {
                const std::size_t at = static_cast<std::size_t>(2 * y + sub / 2) * shadowStride + 2 * x + sub % 2;
                const bool black1 = kBlack[k][sub];
                const bool black2 = secretBlack ? !black1 : black1;
                s.first[at] = black1 ? 0 : 255;
                s.second[at] = black2 ? 0 : 255;
            }
        }
    return s;
}

}  // namespace reference
