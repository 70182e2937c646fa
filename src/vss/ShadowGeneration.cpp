// SPDX-License-Identifier: GPL-3.0-or-later
#include <ctime>
#include <string>

#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "io/Progress.h"
#include "stream/ImageStream.h"
#include "vss/PatternSource.h"
#include "vss/ShadowFrameMaker.h"
#include "vss/VssMessages.h"

namespace {
// Both shadows, four times the secret each, are held in memory when they are small and must then
// fit in what the process can get: memory promised but not there would end the program once the
// frames are written. Larger ones go to work files, with room held on their disk.
bool MakeRoomForShadows(CImageStream& shadow1, CImageStream& shadow2, std::size_t frames)
{
    const std::uint64_t frameBytes = shadow1.GetFrameBytes();
    if (2 * frames * frameBytes <= InMemoryLimit()) {
        if (MemoryAvailableFor(2 * std::uint64_t{frames}, frameBytes))
            return true;
        ShowMessage(vss_messages::kShadowsNoMemory1);
        return false;
    }
    std::string error;
    if (!shadow1.SpoolFrames(error)) {
        ShowMessage(vss_messages::kShadowsNoRoom1 + error);
        return false;
    }
    if (!shadow2.SpoolFrames(error)) {
        ShowMessage(vss_messages::kShadowsNoRoom2 + error);
        return false;
    }
    return true;
}
}  // namespace

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

    const std::size_t frames = GetFramesHeld();
    if (!MakeRoomForShadows(*pShadow1, *pShadow2, frames))
        return false;
    CShadowFrameMaker maker;
    if (!maker.Prepare(GetHeader()))
        return false;
    for (std::size_t k = 0; k < frames; ++k) {
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
        if (!maker.Make(m_pFrames->Frame(k), source, frame1.get(), frame2.get()))
            return false;
        // A work file that can't be written has said so.
        if (!pShadow1->AppendFrame(std::move(frame1)) || !pShadow2->AppendFrame(std::move(frame2)))
            return false;
        ReportProgress(k + 1, frames);
    }
    return true;
}
