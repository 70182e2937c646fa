#pragma once
// Schemes whose pixels take one of a few equally likely outcomes: every column of a random grid or
// size-invariant scheme, or every order of a small basis matrix's columns. The outcomes' cells are
// laid out once, for runs of up to four neighbouring pixels together where their combinations are
// few; each pixel then costs one uniform draw, and each run one load and one store per row of
// every share.

#include <cstdint>
#include <vector>

#include "vss/ShareMaker.h"
#include "vss/UniformDraws.h"

class CTableShareMaker final : public CShareMaker {
public:
    // Orders of at most this many columns are tabled; larger bases are permuted pixel by pixel.
    static constexpr int kMaxTabledColumns = 6;
    // Runs of pixels are tabled while their combinations are at most this many.
    static constexpr std::size_t kMaxRunKeys = 4096;

    CTableShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;

    // Neighbouring pixels tabled together: 1, 2 or 4.
    int GetRunLength() const { return m_nRun; }

private:
    using RowWriter = void (CTableShareMaker::*)(std::size_t y, std::uint8_t* const* shares) const;
    template <std::size_t RunBytes>
    void WriteRow(std::size_t y, std::uint8_t* const* shares) const;
    void KeyRow(const std::uint8_t* secret);
    void TableRuns(const std::vector<std::uint8_t>& cells);

    ShareGeometry m_geometry;
    int m_nShares;
    std::uint32_t m_nOutcomes = 0;        // of each colour
    int m_nRun = 1;                       // pixels a key covers
    std::size_t m_nKeys = 0;              // (2 x outcomes) ^ run
    std::vector<std::uint64_t> m_runs;    // [share][block row][key]: a run's bytes of that row
    std::vector<std::uint16_t> m_draws;   // one row's outcomes
    std::vector<std::uint16_t> m_keys;    // one row's runs, the last one padded with outcome 0
    RowWriter m_writeRow = nullptr;
    CUniformDraws m_uniform;
};
