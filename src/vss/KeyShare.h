// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A (2, 2) second share made against a first share that already exists, a key: where the secret is
// white its block is the key's, where black the key's complement, as VSS(2, 2) makes shadow 2 from
// shadow 1. The key's randomness is the only randomness, so a key used again gives away where the
// secrets (or the frames) it served differ to anyone who stacks two of the second shares.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace key_share {

// What makes a key frame no first share: the first block, in row order, that is not two black (0)
// and two white (255) subpixels.
struct KeyFault {
    std::size_t blockX = 0;  // in blocks, that is in secret pixels
    std::size_t blockY = 0;
    std::string what;
};

// The key frame is 2 width x 2 height subpixels at the shares' 4-byte-aligned stride.
std::optional<KeyFault> FindKeyFault(const std::uint8_t* key, std::size_t width, std::size_t height);

// The second share of a width x height secret frame (rows at secretStride) into a frame of the
// key's shape whose alignment bytes are 0. The key has no fault.
void MakeKeyedShare(const std::uint8_t* secret, std::size_t width, std::size_t height, std::size_t secretStride,
                    const std::uint8_t* key, std::uint8_t* share2);

}  // namespace key_share
