// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ShareAlignment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {
constexpr int kSquare = 4;  // cells a side of the squares whose darkness is compared

// The variance of the stack's darkness over kSquare x kSquare squares of `area`, `moving` moved by
// `offset`; cells it does not cover count as white.
double StackVariance(const QImage& fixed, const QImage& moving, QRect area, QPoint offset)
{
    const int columns = area.width() / kSquare, rows = area.height() / kSquare;
    std::vector<int> darkness(static_cast<std::size_t>(columns), 0);
    double sum = 0, squares = 0;
    for (int row = 0; row < rows; ++row) {
        std::fill(darkness.begin(), darkness.end(), 0);
        for (int dy = 0; dy < kSquare; ++dy) {
            const int y = area.top() + row * kSquare + dy;
            const std::uint8_t* a = fixed.constScanLine(y);
            const int my = y - offset.y();
            const std::uint8_t* b = my >= 0 && my < moving.height() ? moving.constScanLine(my) : nullptr;
            for (int column = 0; column < columns; ++column) {
                int black = 0;
                for (int dx = 0; dx < kSquare; ++dx) {
                    const int x = area.left() + column * kSquare + dx, mx = x - offset.x();
                    const bool movingBlack = b && mx >= 0 && mx < moving.width() && b[mx] == 0;
                    black += (a[x] == 0 || movingBlack) ? 1 : 0;
                }
                darkness[static_cast<std::size_t>(column)] += black;
            }
        }
        for (int d : darkness) {
            sum += d;
            squares += static_cast<double>(d) * d;
        }
    }
    const double n = static_cast<double>(columns) * rows;
    return n > 0 ? squares / n - (sum / n) * (sum / n) : 0;
}
}  // namespace

QPoint FindAlignment(const QImage& fixed, const QImage& moving, int radius, int window)
{
    const int width = std::min(window, fixed.width()), height = std::min(window, fixed.height());
    const QRect area((fixed.width() - width) / 2, (fixed.height() - height) / 2, width, height);
    QPoint best;
    double bestVariance = -1;
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x) {
            const double variance = StackVariance(fixed, moving, area, {x, y});
            // Ties go to the offset nearest the place the share has.
            const bool tie = std::abs(variance - bestVariance) <= 1e-9;
            if (variance > bestVariance + 1e-9 || (tie && x * x + y * y < best.x() * best.x() + best.y() * best.y())) {
                bestVariance = variance;
                best = {x, y};
            }
        }
    return best;
}
