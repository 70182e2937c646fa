#include "cli/StreamedShadows.h"

#include "cli/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "vss/VssMessages.h"

bool CStreamedShadows::Prepare(const CImageStream& secret)
{
    using namespace vss_messages;
    if (!CShadowFrameMaker::CheckSecretSize(secret.GetWidth(), secret.GetHeight()))
        return false;
    m_shadowHeader.Initialize(2 * secret.GetWidth(), 2 * secret.GetHeight(), secret.GetFrameCount());
    if (secret.GetFrameCount() == 0) {
        ShowMessage(kShadowsNoImages);
        return false;
    }
    return m_maker.Prepare(secret) &&
           (m_secret = AllocateFrame(secret.GetFrameBytes(), kNotEnoughMemory)) &&
           (m_shadow1 = AllocateFrame(m_shadowHeader.GetFrameBytes(), kShadowsNoMemory1)) &&
           (m_shadow2 = AllocateFrame(m_shadowHeader.GetFrameBytes(), kShadowsNoMemory2));
}

bool CStreamedShadows::MakeNext(CStreamFileReader& secret, CPatternSource& source)
{
    return secret.ReadFrame(m_secret.get()) && m_maker.Make(m_secret.get(), source, m_shadow1.get(), m_shadow2.get());
}
