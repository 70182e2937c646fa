// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Threshold masks for ordered dithering: a square of ranks 0 .. side * side - 1 tiled over the frame.
// A pixel turns white when its grey reaches the threshold of its rank, so a flat grey g whitens the
// share g / 255 of every tile, and the same grey at the same place always gives the same result.

#include <cstdint>
#include <vector>

class CDitherMask {
public:
    // `ranks` holds side * side distinct ranks, row by row; side is a power of two.
    CDitherMask(int side, const std::vector<int>& ranks);

    int GetSide() const { return m_side; }
    // The lowest grey that turns the pixel at (x, y) of the tile white, 1 to 255, row by row.
    const std::uint8_t* GetThresholdRow(int y) const { return m_thresholds.data() + y * m_side; }

private:
    int m_side;
    std::vector<std::uint8_t> m_thresholds;
};

// The classic 8 x 8 Bayer matrix.
const CDitherMask& BayerMask();

// A 64 x 64 blue-noise mask by the void-and-cluster method, made once on first use, the same on
// every run.
const CDitherMask& BlueNoiseMask();

// The void-and-cluster ranks of a side x side torus: the first `side * side / 10` points spread from
// a fixed pseudo-random start, then ranks given by removing the tightest clusters and filling the
// largest voids of a Gaussian-filtered pattern.
std::vector<int> VoidAndClusterRanks(int side);
