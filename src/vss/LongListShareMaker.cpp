// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/LongListShareMaker.h"

#include <new>

namespace {
// The least low bound that divides the outcomes with a high bound no larger than one draw's.
std::uint32_t LowBoundOf(std::size_t outcomes)
{
    for (std::size_t low = (outcomes + CLongListShareMaker::kMaxOneDraw - 1) / CLongListShareMaker::kMaxOneDraw;
         low <= CLongListShareMaker::kMaxOneDraw; ++low)
        if (outcomes % low == 0)
            return static_cast<std::uint32_t>(low);
    return 0;
}
}  // namespace

bool CLongListShareMaker::Takes(const Scheme& scheme)
{
    return scheme.layout == SchemeLayout::OneColumn && scheme.white.size() > kMaxOneDraw &&
           LowBoundOf(scheme.white.size()) != 0;
}

CLongListShareMaker::CLongListShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry),
      m_nShares(scheme.choice.n),
      m_white(scheme.white),
      m_black(scheme.black),
      m_nLowBound(LowBoundOf(scheme.white.size())),
      m_nHighBound(static_cast<std::uint32_t>(scheme.white.size() / m_nLowBound)),
      m_high(geometry.width),
      m_low(geometry.width),
      m_uniform(random)
{
}

bool CLongListShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    const std::size_t width = m_geometry.width;
    for (std::size_t y = 0; y < m_geometry.height; ++y) {
        if (!m_uniform.Draw(m_high.data(), width, m_nHighBound) || !m_uniform.Draw(m_low.data(), width, m_nLowBound))
            return false;
        const std::uint8_t* row = secret + y * m_geometry.SecretStride();
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t outcome = std::size_t{m_high[x]} * m_nLowBound + m_low[x];
            const std::uint8_t column = (row[x] == 0 ? m_black : m_white)[outcome];
            for (int share = 0; share < m_nShares; ++share)
                shares[share][y * m_geometry.ShareStride() + x] = (column >> share & 1) != 0 ? 0 : 255;
        }
    }
    return true;
}

std::unique_ptr<CShareMaker> MakeSchemeShareMaker(const Scheme& scheme, std::size_t width, std::size_t height,
                                                  CRandomSource& random)
{
    if (!CLongListShareMaker::Takes(scheme))
        return MakeShareMaker(scheme, width, height, random);
    try {
        return std::make_unique<CLongListShareMaker>(scheme, ShareGeometry{width, height, 1, 1}, random);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
