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

bool CClassicShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return shadow_kernels::WriteShadowFrame(m_kernels, secret, m_nWidth, m_nHeight, ShareGeometry::StrideOf(m_nWidth),
                                            m_source, m_indices.get(), shares[0], shares[1]);
}
