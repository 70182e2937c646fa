// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Naor-Shamir (2, 2) as the player makes it: the six 2 x 2 patterns through the vector kernels,
// their indices from a pattern source, so that a seed gives the player's shadows bit for bit.

#include "vss/ShadowKernels.h"
#include "vss/ShareMaker.h"

class CPatternSource;

class CClassicShareMaker final : public CShareMaker {
public:
    // `source` must outlive the maker.
    CClassicShareMaker(std::size_t width, std::size_t height, CPatternSource& source);
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;
    bool MakesBands() const override { return true; }
    bool MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* const* shares) override;

private:
    const shadow_kernels::Kernels& m_kernels;
    std::size_t m_nWidth;
    std::size_t m_nHeight;
    CPatternSource& m_source;
    std::unique_ptr<std::uint8_t[]> m_indices;
};
