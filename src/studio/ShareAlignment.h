// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a share must lie on others to show their secret: at the right offset the stack is black
// where the secret is and half black elsewhere, so its darkness, taken over small squares, varies
// most; anywhere else it is an even grey noise. For shares that were printed and scanned, or
// photographed, and so lost their place.

#include <QImage>
#include <QPoint>

// The offset of `moving` on `fixed` (both Format_Grayscale8, 0 black) within `radius` cells each
// way whose stack varies most, judged on the middle of the frame (at most `window` cells square).
QPoint FindAlignment(const QImage& fixed, const QImage& moving, int radius, int window = 256);
