// SPDX-License-Identifier: GPL-3.0-or-later
// Any offered scheme on any small frame, its shares then measured; and the measurement on shares
// of any block shape and count, whatever they hold.

#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "io/Message.h"
#include "measure/ShareMeasurement.h"
#include "vss/SchemeCatalogue.h"
#include "vss/ShareMaker.h"

namespace {
using Frame = std::vector<std::uint8_t>;

Frame FrameOf(CFuzzInput& input, std::size_t stride, std::size_t height, std::size_t width)
{
    Frame frame(stride * height, 0);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x)
            frame[y * stride + x] = input.Byte() < 128 ? 0 : 255;
    return frame;
}

void Measure(const Frame& secret, const ShareGeometry& geometry, const std::vector<Frame>& shares, int subsetSize)
{
    std::vector<const std::uint8_t*> rows;
    for (const Frame& share : shares)
        rows.push_back(share.data());
    CShareMeasurement measurement(static_cast<int>(geometry.width), static_cast<int>(geometry.height),
                                  BlockShape{geometry.blockWidth, geometry.blockHeight}, static_cast<int>(shares.size()),
                                  subsetSize);
    measurement.MeasureFrame(secret.data(), geometry.SecretStride(), rows, geometry.ShareStride());
    measurement.MeasureFrame(secret.data(), geometry.SecretStride(), rows, geometry.ShareStride());
    measurement.StreamFigures();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const MessageHook silence = SetMessageHook([](const std::string&) {});
    CFuzzInput input(data, size);
    const bool anyShape = input.Byte() & 1;
    ShareGeometry geometry;
    geometry.width = static_cast<std::size_t>(input.Between(1, 24));
    geometry.height = static_cast<std::size_t>(input.Between(1, 12));
    std::vector<Frame> shares;
    int subsetSize = 1;
    Frame secret;
    if (anyShape) {
        // Shares of any block shape and count, their cells from the input.
        geometry.blockWidth = input.Between(1, 9);
        geometry.blockHeight = input.Between(1, 9);
        const int count = input.Between(1, 8);
        subsetSize = input.Between(1, count);
        secret = FrameOf(input, geometry.SecretStride(), geometry.height, geometry.width);
        for (int s = 0; s < count; ++s)
            shares.push_back(FrameOf(input, geometry.ShareStride(), geometry.ShareHeight(), geometry.ShareWidth()));
    } else {
        const std::vector<SchemeChoice> offered = OfferedSchemes();
        const SchemeChoice choice = offered[input.Byte() % offered.size()];
        const auto scheme = LookUpScheme(choice, nullptr);
        if (!scheme)
            __builtin_trap();  // an offered scheme that can't be looked up
        geometry.blockWidth = scheme->promise.blockWidth;
        geometry.blockHeight = scheme->promise.blockHeight;
        secret = FrameOf(input, geometry.SecretStride(), geometry.height, geometry.width);
        CFuzzRandom random(input);
        const auto maker = MakeShareMaker(*scheme, geometry.width, geometry.height, random);
        std::vector<std::uint8_t*> targets;
        for (int s = 0; s < choice.n; ++s) {
            shares.emplace_back(geometry.ShareStride() * geometry.ShareHeight(), 0);
            targets.push_back(shares.back().data());
        }
        if (!maker || !maker->Make(secret.data(), targets.data()))
            return 0;
        subsetSize = choice.k;
    }
    Measure(secret, geometry, shares, subsetSize);
    return 0;
}
