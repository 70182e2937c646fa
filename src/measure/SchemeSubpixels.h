// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How many of a block's subpixels carry the scheme (its m): a block may hold cells past m that are
// white in every share, there only to make the block a rectangle.

#include <string>

#include "measure/BlockPatterns.h"

struct SchemeSubpixels {
    int subpixels = 1;
    std::string source;  // how it was found, for the reports
};

// m for shares of `block` whose last cell black in any share is cell `usedCells` - 1 (0: none):
// the least m of the catalogue's schemes of that block that leaves those cells inside m; where
// no scheme of the catalogue fits, the cells the shares use.
SchemeSubpixels FindSchemeSubpixels(BlockShape block, int usedCells);
