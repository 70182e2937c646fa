// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShadowFrameMaker.h"

#include <climits>
#include <new>

#include "io/Message.h"
#include "vss/VssMessages.h"

bool CShadowFrameMaker::CheckSecretSize(int width, int height)
{
    if (width < 0 || height < 0 || width > INT_MAX / 2 - 2 || height > INT_MAX / 2) {
        ShowMessage(vss_messages::kShadowsNoMemory1);
        return false;
    }
    return true;
}

bool CShadowFrameMaker::Prepare(const KvtHeader& secret)
{
    m_pKernels = &shadow_kernels::BestKernels();
    m_nWidth = static_cast<std::size_t>(secret.width);
    m_nHeight = static_cast<std::size_t>(secret.height);
    m_nStride = static_cast<std::size_t>(secret.RowStride());
    m_indices.reset(new (std::nothrow) std::uint8_t[shadow_kernels::IndexScratchSize(m_nWidth)]);
    if (!m_indices) {
        ShowMessage(vss_messages::kShadowsNoMemory1);
        return false;
    }
    return true;
}

bool CShadowFrameMaker::Make(const BYTE* secret, CPatternSource& source, BYTE* shadow1, BYTE* shadow2) const
{
    if (!shadow_kernels::WriteShadowFrame(*m_pKernels, secret, m_nWidth, m_nHeight, m_nStride, source,
                                          m_indices.get(), shadow1, shadow2)) {
        ShowMessage(vss_messages::kShadowsNoPatterns);
        return false;
    }
    return true;
}
