// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Size-kept schemes of more equally likely columns than one 16-bit draw covers (Wu and Sun's
// (4, 8) grids take 143360): each pixel's column is drawn as a pair of uniform numbers whose
// bounds multiply to the outcomes, and its bits written one cell a share.

#include <vector>

#include "vss/ShareMaker.h"
#include "vss/UniformDraws.h"

class CLongListShareMaker final : public CShareMaker {
public:
    // Outcomes up to this many are drawn at once by the other makers.
    static constexpr std::uint32_t kMaxOneDraw = 65536;

    // For OneColumn schemes whose outcomes are a product of two bounds up to kMaxOneDraw each.
    static bool Takes(const Scheme& scheme);

    CLongListShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;

private:
    ShareGeometry m_geometry;
    int m_nShares;
    std::vector<std::uint8_t> m_white;
    std::vector<std::uint8_t> m_black;
    std::uint32_t m_nLowBound;           // outcome = high * m_nLowBound + low
    std::uint32_t m_nHighBound;
    std::vector<std::uint16_t> m_high;   // one row's draws
    std::vector<std::uint16_t> m_low;
    CUniformDraws m_uniform;
};

// The maker for any scheme of the catalogue: this one where the outcomes are too many for one draw,
// else MakeShareMaker's. Null when its tables can't be had.
std::unique_ptr<CShareMaker> MakeSchemeShareMaker(const Scheme& scheme, std::size_t width, std::size_t height,
                                                  CRandomSource& random);
