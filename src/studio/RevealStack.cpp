// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/RevealStack.h"

#include <algorithm>
#include <cstdint>

namespace {
// `from`'s cells onto `onto` where it lands, row by row over the overlap only.
void Lay(const StackLayer& layer, QImage& onto, StackMode mode)
{
    const QImage& from = *layer.share;
    const int x0 = std::max(0, layer.offset.x()), y0 = std::max(0, layer.offset.y());
    const int x1 = std::min(onto.width(), layer.offset.x() + from.width());
    const int y1 = std::min(onto.height(), layer.offset.y() + from.height());
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* out = onto.scanLine(y);
        const std::uint8_t* in = from.constScanLine(y - layer.offset.y()) - layer.offset.x();
        if (mode == StackMode::stack) {
            for (int x = x0; x < x1; ++x)
                out[x] &= in[x];  // as kvt reveal lays them
        } else {
            // Black where an odd number of layers is black.
            for (int x = x0; x < x1; ++x)
                out[x] = (out[x] == 0) != (in[x] == 0) ? 0 : 255;
        }
    }
}
}  // namespace

QImage StackLayers(const std::vector<StackLayer>& layers, StackMode mode)
{
    if (layers.empty())
        return {};
    const QImage& first = *layers.front().share;
    QImage result(first.size(), QImage::Format_Grayscale8);
    result.fill(255);
    Lay(layers.front(), result, mode);
    for (std::size_t i = 1; i < layers.size(); ++i)
        Lay(layers[i], result, mode);
    return result;
}

double BlackShare(const QImage& frame)
{
    if (frame.isNull())
        return 0;
    std::uint64_t black = 0;
    for (int y = 0; y < frame.height(); ++y)
        black += static_cast<std::uint64_t>(std::count(frame.constScanLine(y), frame.constScanLine(y) + frame.width(), 0));
    return static_cast<double>(black) / (static_cast<double>(frame.width()) * frame.height());
}
