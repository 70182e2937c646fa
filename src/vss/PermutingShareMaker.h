// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Basis matrices too wide to table every order of their columns: each pixel shuffles the m columns
// afresh (Fisher-Yates) and writes them into its block of every share.

#include <vector>

#include "vss/ShareMaker.h"
#include "vss/UniformDraws.h"

class CPermutingShareMaker final : public CShareMaker {
public:
    CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;

private:
    bool Shuffle();

    ShareGeometry m_geometry;
    int m_nShares;
    std::vector<std::uint8_t> m_white;
    std::vector<std::uint8_t> m_black;
    std::vector<std::uint8_t> m_order;  // the current pixel's column order
    CUniformDraws m_uniform;
};
