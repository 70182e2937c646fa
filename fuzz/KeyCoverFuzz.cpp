// SPDX-License-Identifier: GPL-3.0-or-later
// Any key frame through the key check and the keyed share; any covers and secret through the
// extended shares, whose alignment bytes must stay 0.

#include <vector>

#include "FuzzInput.h"
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
    const auto key = FrameOf(input, shareStride * 2 * height);
    std::vector<std::uint8_t> keyed(shareStride * 2 * height, 0);
    if (!key_share::FindKeyFault(key.data(), width, height))
        key_share::MakeKeyedShare(secret.data(), width, height, stride, key.data(), keyed.data());

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
