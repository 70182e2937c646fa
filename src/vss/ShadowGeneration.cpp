// SPDX-License-Identifier: GPL-3.0-or-later
#include <ctime>

#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "io/Progress.h"
#include "stream/ImageStream.h"
#include "vss/PatternSource.h"
#include "vss/ShadowFrameMaker.h"
#include "vss/VssMessages.h"

bool CImageStream::CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2) const
{
    CLcgPatternSource source(static_cast<std::uint32_t>(std::time(nullptr)));
    return CreateVSSShadows(pShadow1, pShadow2, source);
}

bool CImageStream::CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2,
                                    CPatternSource& source) const
{
    if (pShadow1 == nullptr || pShadow2 == nullptr) {
        ShowMessage(vss_messages::kShadowsNullDest);
        return false;
    }
    if (!CShadowFrameMaker::CheckSecretSize(m_nWidth, m_nHeight))
        return false;
    pShadow1->Initialize(2 * m_nWidth, 2 * m_nHeight, m_wFrameCount);
    pShadow2->Initialize(2 * m_nWidth, 2 * m_nHeight, m_wFrameCount);
    if (!HasFrames()) {
        ShowMessage(vss_messages::kShadowsNoImages);
        return false;
    }

    // Both shadows, four times the secret each, must fit in what the process can get: memory
    // promised but not there would end the program once the frames are written.
    if (!MemoryAvailableFor(2 * std::uint64_t{m_wFrameCount}, pShadow1->GetFrameBytes())) {
        ShowMessage(vss_messages::kShadowsNoMemory1);
        return false;
    }
    CShadowFrameMaker maker;
    if (!maker.Prepare(GetHeader()))
        return false;
    for (const FrameBuffer& secret : m_frames) {
        FrameBuffer frame1 = AllocateFrameBuffer(pShadow1->GetFrameBytes());
        if (!frame1) {
            ShowMessage(vss_messages::kShadowsNoMemory1);
            return false;
        }
        FrameBuffer frame2 = AllocateFrameBuffer(pShadow2->GetFrameBytes());
        if (!frame2) {
            ShowMessage(vss_messages::kShadowsNoMemory2);
            return false;
        }
        if (!maker.Make(secret.get(), source, frame1.get(), frame2.get()))
            return false;
        pShadow1->AppendFrame(std::move(frame1));
        pShadow2->AppendFrame(std::move(frame2));
        ReportProgress(pShadow1->GetFramesHeld(), m_frames.size());
    }
    return true;
}
