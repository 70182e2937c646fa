#pragma once
// Schemes whose pixels take one of a few equally likely outcomes: every column of a random grid or
// size-invariant scheme, or every order of a small basis matrix's columns. The outcomes' cells are
// laid out once; each pixel then costs one uniform draw and a copy per share.

#include <vector>

#include "vss/ShareMaker.h"
#include "vss/UniformDraws.h"

class CTableShareMaker final : public CShareMaker {
public:
    // Orders of at most this many columns are tabled; larger bases are permuted pixel by pixel.
    static constexpr int kMaxTabledColumns = 6;

    CTableShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;

private:
    template <int BlockWidth>
    void WriteRow(const std::uint8_t* secret, std::size_t y, std::uint8_t* const* shares) const;
    void AddOutcome(const std::vector<std::uint8_t>& columns, const std::vector<int>& order);

    ShareGeometry m_geometry;
    int m_nShares;
    std::size_t m_nCells;                 // cells of a block
    std::uint32_t m_nOutcomes = 0;        // of each colour
    std::vector<std::uint8_t> m_table;    // [colour][outcome][share][cell], white outcomes first
    std::vector<std::uint16_t> m_draws;   // one row's outcomes
    CUniformDraws m_uniform;
};
