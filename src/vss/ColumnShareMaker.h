// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Schemes that keep the secret's size: each pixel becomes one uniformly random column of its
// colour's list (random grids, size-invariant, progressive and XOR schemes), bit i of the column
// share i's cell. A row's columns are drawn together, as many to a random word as it holds, looked
// up (by vector byte permutes where the columns are few, through runs of equal columns where they
// are many) as the row's cells.

#include <cstdint>
#include <vector>

#include "vss/BatchedDraws.h"
#include "vss/CellShareMaker.h"

class CColumnShareMaker final : public CCellShareMaker {
public:
    // For OneColumn schemes of up to 2^32 columns a colour.
    CColumnShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool MakeCells(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* cells) override;

private:
    // A long list holds each column in one run of copies: a draw's column is found from the slice
    // of the list it falls in (cell_kernels::SliceLookUpFn), the slices no longer than the shortest
    // run, so that a slice holds at most the start of one run. The table is then small enough for
    // the nearest cache, where the list (143360 columns a colour for random-grid (4, 8)) was not;
    // a draw gives the same column either way.
    void SliceLists();
    // A secret row's columns into `cells`; false when the random source runs dry.
    bool LookUpRow(const std::uint8_t* pixels, std::uint8_t* cells);

    std::uint32_t m_nOutcomes;            // columns of each colour
    std::vector<std::uint8_t> m_columns;  // the white columns, then the black ones (256 bytes or more);
                                          // empty once the lists are sliced
    std::size_t m_nRounds;                // of draws a row takes, a random word each
    std::vector<std::uint32_t> m_draws;   // one row's, and the last word's spare ones
    std::vector<std::uint8_t> m_byteDraws;  // as m_draws, for 128 columns a colour or fewer
    unsigned m_nSliceShift = 0;           // a slice holds 2^m_nSliceShift columns of the list
    std::vector<std::uint32_t> m_slices;  // the white list's, then the black list's
    CBatchedDraws m_random;
};
