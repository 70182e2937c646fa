// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checked shares of one frame put together as a viewer would: laid on each other (black wins: the AND of the bytes)
// or XORed, one of them moved by an offset in subpixels to show what a misaligned stack looks like.

#include <QImage>
#include <QPoint>
#include <vector>

enum class StackMode { stack, exclusiveOr };

struct StackLayer {
    const QImage* share;  // Format_Grayscale8, 0 black
    QPoint offset;        // where its top left cell lands on the first layer's
};

// The layers on the first one's frame; cells a moved layer leaves uncovered are as the others make
// them, cells it moves past the edge are dropped. An empty list gives a null image.
QImage StackLayers(const std::vector<StackLayer>& layers, StackMode mode);

// Black cells' share of the picture, 0 to 1.
double BlackShare(const QImage& frame);
