// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/KeyShare.h"

namespace key_share {
namespace {
std::size_t ShareStride(std::size_t width)
{
    return (2 * width + 3) / 4 * 4;
}
}  // namespace

std::optional<KeyFault> FindKeyFault(const std::uint8_t* key, std::size_t width, std::size_t height)
{
    const std::size_t stride = ShareStride(width);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* top = key + 2 * y * stride;
        const std::uint8_t* bottom = top + stride;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t block[4] = {top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]};
            int black = 0;
            for (const std::uint8_t v : block) {
                if (v != 0 && v != 255)
                    return KeyFault{x, y, "grey " + std::to_string(v) + " where a share holds only black and white"};
                black += v == 0;
            }
            if (black != 2)
                return KeyFault{x, y, std::to_string(black) + " of its 4 subpixels black, where a first share has 2"};
        }
    }
    return std::nullopt;
}

void MakeKeyedShare(const std::uint8_t* secret, std::size_t width, std::size_t height, std::size_t secretStride,
                    const std::uint8_t* key, std::uint8_t* share2)
{
    const std::size_t stride = ShareStride(width);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = secret + y * secretStride;
        for (std::size_t half = 0; half < 2; ++half) {
            const std::uint8_t* in = key + (2 * y + half) * stride;
            std::uint8_t* out = share2 + (2 * y + half) * stride;
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint8_t flip = row[x] == 0 ? 0xFF : 0;  // black: the complement
                out[2 * x] = in[2 * x] ^ flip;
                out[2 * x + 1] = in[2 * x + 1] ^ flip;
            }
        }
    }
}

}  // namespace key_share
