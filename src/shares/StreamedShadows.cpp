// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/StreamedShadows.h"

#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "vss/VssMessages.h"

bool CStreamedShadows::Prepare(const KvtHeader& secret)
{
    using namespace vss_messages;
    if (!CShadowFrameMaker::CheckSecretSize(secret.width, secret.height))
        return false;
    m_shadowHeader = KvtHeader::Built(2 * secret.width, 2 * secret.height, secret.frameCount);
    if (secret.frameCount == 0) {
        ShowMessage(kShadowsNoImages);
        return false;
    }
    return MemoryFor({{1, secret.FrameBytes()}, {2, m_shadowHeader.FrameBytes()}}, kShadowsNoMemory1) &&
           m_maker.Prepare(secret) &&
           (m_secret = AllocateFrame(secret.FrameBytes(), kNotEnoughMemory)) &&
           (m_shadow1 = AllocateFrame(m_shadowHeader.FrameBytes(), kShadowsNoMemory1)) &&
           (m_shadow2 = AllocateFrame(m_shadowHeader.FrameBytes(), kShadowsNoMemory2));
}

bool CStreamedShadows::MakeNext(CStreamFileReader& secret, CPatternSource& source)
{
    return secret.ReadFrame(m_secret.get()) && m_maker.Make(m_secret.get(), source, m_shadow1.get(), m_shadow2.get());
}
