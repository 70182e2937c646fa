// SPDX-License-Identifier: GPL-3.0-or-later
// Any key frame through the key checks (its blocks' form, then their randomness) and the keyed
// share; any covers and secret through the extended shares, whose alignment bytes must stay 0.

#include <vector>

#include "FuzzInput.h"
#include "shares/KeyRandomness.h"
#include "vss/ExtendedShares.h"
#include "vss/KeyShare.h"

namespace {
std::vector<std::uint8_t> FrameOf(CFuzzInput& input, std::size_t bytes)
{
    std::vector<std::uint8_t> frame(bytes);
    for (std::uint8_t& pixel : frame)
        pixel = input.Byte() < 128 ? 0 : 255;
    return frame;
}

// A key of well-formed blocks, each one of the six with two of its four subpixels black, so that
// the randomness check sees keys; or any frame, for the form check.
std::vector<std::uint8_t> KeyOf(CFuzzInput& input, std::size_t width, std::size_t height, std::size_t stride)
{
    if (input.Byte() & 1)
        return FrameOf(input, stride * 2 * height);
    static constexpr std::uint8_t kPatterns[6] = {0b0011, 0b0101, 0b0110, 0b1001, 0b1010, 0b1100};
    std::vector<std::uint8_t> key(stride * 2 * height, 0);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t black = kPatterns[input.Byte() % 6];
            for (std::size_t cell = 0; cell < 4; ++cell)
                key[(2 * y + cell / 2) * stride + 2 * x + cell % 2] = black >> cell & 1 ? 0 : 255;
        }
    return key;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    const auto width = static_cast<std::size_t>(input.Between(1, 24));
    const auto height = static_cast<std::size_t>(input.Between(1, 12));
    const std::size_t stride = (width + 3) / 4 * 4;
    const std::size_t shareStride = (2 * width + 3) / 4 * 4;
    const auto secret = FrameOf(input, stride * height);

    // The key is a share's frame: 2 width x 2 height at the share's stride.
    const auto key = KeyOf(input, width, height, shareStride);
    std::vector<std::uint8_t> keyed(shareStride * 2 * height, 0);
    if (!key_share::FindKeyFault(key.data(), width, height)) {
        if (const auto fault = KeyRandomnessFault(key.data(), width, height); fault && fault->empty())
            __builtin_trap();  // a refusal that says nothing
        key_share::MakeKeyedShare(secret.data(), width, height, stride, key.data(), keyed.data());
    }

    const auto cover1 = FrameOf(input, stride * height);
    const auto cover2 = FrameOf(input, stride * height);
    extended_shares::CExtendedShareMaker maker;
    std::vector<std::uint8_t> share1(shareStride * 2 * height, 0), share2(share1.size(), 0);
    CFuzzRandom random(input);
    if (!maker.Prepare(width, height, stride) ||
        !maker.Make(secret.data(), cover1.data(), cover2.data(), random, share1.data(), share2.data()))
        return 0;
    for (std::size_t y = 0; y < 2 * height; ++y)
        for (std::size_t x = 2 * width; x < shareStride; ++x)
            if (share1[y * shareStride + x] != 0 || share2[y * shareStride + x] != 0)
                __builtin_trap();
    return 0;
}
