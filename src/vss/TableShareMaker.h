// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Basis matrices of a few columns, whose pixels take one of a few equally likely outcomes: every
// order of the columns. The outcomes' cells are laid out once, for pairs of neighbouring pixels
// together where their combinations are few; each pixel then costs one uniform draw, and each run
// (a pair or a pixel) one load and one store per row of every share.

#include <cstdint>
#include <vector>

#include "vss/ShareMaker.h"
#include "vss/UniformDraws.h"

class CTableShareMaker final : public CShareMaker {
public:
    // Orders of at most this many columns are tabled; larger bases are permuted pixel by pixel.
    static constexpr int kMaxTabledColumns = 6;
    // Pairs of pixels are tabled together while their combinations are at most this many.
    static constexpr std::size_t kMaxRunKeys = 4096;

    CTableShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;
    bool MakesBands() const override { return true; }
    bool MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* const* shares) override;

    // Neighbouring pixels tabled together: 1 or 2.
    int GetRunLength() const { return m_nRun; }

private:
    // Writes the blocks of one secret row into band row `y` of the shares.
    using RowWriter = void (CTableShareMaker::*)(const std::uint8_t* secret, std::size_t y,
                                                 std::uint8_t* const* shares);
    template <std::size_t RunBytes>
    void WriteRuns(const std::uint8_t* secret, std::size_t y, std::uint8_t* const* shares);
    void TableRuns(const std::vector<std::uint8_t>& cells);

    ShareGeometry m_geometry;
    int m_nShares;
    std::uint32_t m_nOutcomes = 0;        // of each colour
    int m_nRun = 0;                       // pixels a key covers
    std::size_t m_nKeys = 0;              // (2 x outcomes) ^ run
    std::vector<std::uint64_t> m_runs;    // [share][block row][key]: a run's bytes of that row
    std::vector<std::uint16_t> m_draws;   // one row's outcomes
    std::vector<std::uint16_t> m_keys;    // one row's runs, the last one padded with outcome 0
    RowWriter m_writeRow = nullptr;
    CUniformDraws m_uniform;
};
