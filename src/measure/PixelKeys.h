// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loops over a row of pixel keys, where a pixel's colour and every share's block pattern fit
// one 64-bit key: bit 0 set where the secret pixel is black, share s's block from bit
// 1 + s * bits. Each is a plain loop over the row that the compiler turns into wide vector code,
// built twice: for processors with AVX-512 (vector bit counts) and for any.

#include <cstddef>
#include <cstdint>

#include "measure/BlockPatterns.h"

struct PixelKeyLayout {
    std::size_t width;  // pixels in the row
    std::size_t shares;
    unsigned bits;      // of a block pattern
};

// Every pixel's key with its colour alone, and its stack empty: the shares' blocks are ORed in after.
void StartPixelKeys(const PixelKeyLayout& layout, const BYTE* secretRow, std::uint64_t* keys, BlockPattern* stacked);

// Every pixel's cell: its stack's black subpixels, with kSecretWhiteBit where the secret pixel is white.
void CountCells(const PixelKeyLayout& layout, const BYTE* secretRow, const BlockPattern* stacked,
                std::uint8_t* cells);

struct CrawlCounts {
    std::uint64_t changed = 0;   // stacked subpixels that changed where the secret pixel kept its colour
    std::uint64_t compared = 0;  // pixels that kept their colour
};

// The row's keys against the previous frame's, which they then replace: `differences` (bit 0 set
// where the secret pixel changed colour, each share's field where its block changed) and the
// crawl. Where `changeRows` is given, each share's change of each pixel as a row of its
// across-frame table too (the changed subpixels, plus 2^bits where the secret pixel changed
// colour), share s's from changeRows + s * width. `scratch` holds a row's words.
CrawlCounts CompareWithPrevious(const PixelKeyLayout& layout, const std::uint64_t* keys, const BlockPattern* stacked,
                                std::uint64_t* previous, std::uint64_t* differences, BlockPattern* scratch,
                                std::uint32_t* changeRows);
// The same by the plain loops, on any processor: what the vector loops must match.
CrawlCounts CompareWithPreviousPlain(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                     const BlockPattern* stacked, std::uint64_t* previous, std::uint64_t* differences,
                                     BlockPattern* scratch, std::uint32_t* changeRows);
