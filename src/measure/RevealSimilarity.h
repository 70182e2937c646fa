// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How alike the secret and the stacked picture look: SSIM after the stacked picture is reduced to
// the secret's size by averaging each block and made grey (RevealContrast.h's GreyMapping).

#include <cstdint>
#include <vector>

#include "measure/RevealContrast.h"

// One frame of stacked blocks at the secret's size: for each secret pixel, row by row, its block's
// count of black subpixels (of `subpixels`; blocks of more cells are scaled to 127), with bit 7 set
// where the secret pixel is white.
struct StackedCells {
    int width = 0;
    int height = 0;
    int subpixels = 1;
    std::vector<std::uint8_t> cells;
};
inline constexpr std::uint8_t kSecretWhiteBit = 0x80;
inline constexpr int kMaxCellCount = 127;

// Mean SSIM between the secret (black 0, white 255) and the grey stacked picture, over 8 x 8
// windows at steps of 4 that lie inside the picture (one window of the whole picture when it is
// smaller than 8 either way); constants (0.01 * 255)^2 and (0.03 * 255)^2.
double StructuralSimilarity(const StackedCells& frame, const GreyMapping& mapping);
