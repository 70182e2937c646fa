// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The columns of the size-kept schemes that are no basis matrix: random grids and progressive
// shares. Each list holds equally likely columns (bit i set: share i black there); a column that
// is likelier than another appears more often.

#include <cstdint>
#include <vector>

using Columns = std::vector<std::uint8_t>;

struct ColumnLists {
    Columns white;
    Columns black;
};

// Every n-bit column whose weight has the given parity: Naor and Shamir's (n, n) basis, and Shyu's
// (n, n) random grid, whose XOR over all shares is the secret pixel.
Columns ColumnsOfParity(int n, bool odd);

// Chen and Tsao's (k, n) random grids: a random k of the n shares carry a (k, k) grid of the pixel,
// the other n - k a random bit each.
ColumnLists ChenTsaoColumns(int k, int n);

// Wu and Sun's (k, n) random grids: a (k, k) grid of the pixel (k - 1 random bits, the k-th their
// parity with the pixel), each of the other n - k shares a copy of one of its bits picked at random,
// the n bits dealt to the shares in a random order.
ColumnLists WuSunColumns(int k, int n);

// Hou and Quan's progressive (2, n) shares: one black subpixel of n, the same in every share for
// white and a different one in each share for black, one random column a pixel.
ColumnLists ProgressiveColumns(int n);
