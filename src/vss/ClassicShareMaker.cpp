// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ClassicShareMaker.h"

CClassicShareMaker::CClassicShareMaker(std::size_t width, std::size_t height, CPatternSource& source)
    : m_kernels(shadow_kernels::BestKernels()),
      m_nWidth(width),
      m_nHeight(height),
      m_source(source),
      m_indices(new std::uint8_t[shadow_kernels::IndexScratchSize(width)])
{
}

// The pattern source is one stream of draws, so a frame made band by band takes the same patterns.
bool CClassicShareMaker::MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows,
                                  std::uint8_t* const* shares)
{
    const std::size_t stride = ShareGeometry::StrideOf(m_nWidth);
    return shadow_kernels::WriteShadowFrame(m_kernels, secret + y * stride, m_nWidth, rows, stride, m_source,
                                            m_indices.get(), shares[0], shares[1]);
}

bool CClassicShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_nHeight, shares);
}
