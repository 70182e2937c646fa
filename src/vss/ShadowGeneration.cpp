#include <climits>
#include <ctime>
#include <memory>
#include <new>

#include "framework/Message.h"
#include "framework/Progress.h"
#include "stream/ImageStream.h"
#include "stream/MemoryBudget.h"
#include "vss/PatternSource.h"
#include "vss/ShadowKernels.h"

namespace {
constexpr const char* kNoMemory1 = "Create VSS shadows error:  Not memory avaliable for shadow1 images";
constexpr const char* kNoMemory2 = "Create VSS shadows error:  Not memory avaliable for shadow2 images";
constexpr const char* kNoPatterns = "Create VSS shadows error: No random patterns available";
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
        ShowMessage("Create VSS shadows error: Dest streams are NULL");
        return false;
    }
    const int w = m_nWidth;
    const int h = m_nHeight;
    // Shadows twice as wide and high must still have a size the header can say.
    if (w < 0 || h < 0 || w > INT_MAX / 2 - 2 || h > INT_MAX / 2) {
        ShowMessage(kNoMemory1);
        return false;
    }
    pShadow1->Initialize(2 * w, 2 * h, m_wFrameCount);
    pShadow2->Initialize(2 * w, 2 * h, m_wFrameCount);
    if (!HasFrames()) {
        ShowMessage("Create VSS shadows error: This stream has no images");
        return false;
    }

    // Both shadows, four times the secret each, must fit in what the process can get: memory
    // promised but not there would end the program once the frames are written.
    if (!MemoryAvailableFor(2 * std::uint64_t{m_wFrameCount}, pShadow1->GetFrameBytes())) {
        ShowMessage(kNoMemory1);
        return false;
    }
    const auto& kernels = shadow_kernels::BestKernels();
    const std::size_t width = static_cast<std::size_t>(w);
    const std::unique_ptr<std::uint8_t[]> indices(new (std::nothrow) std::uint8_t[shadow_kernels::IndexScratchSize(width)]);
    if (!indices) {
        ShowMessage(kNoMemory1);
        return false;
    }
    for (const FrameBuffer& secret : m_frames) {
        FrameBuffer frame1 = AllocateFrameBuffer(pShadow1->GetFrameBytes());
        if (!frame1) {
            ShowMessage(kNoMemory1);
            return false;
        }
        FrameBuffer frame2 = AllocateFrameBuffer(pShadow2->GetFrameBytes());
        if (!frame2) {
            ShowMessage(kNoMemory2);
            return false;
        }
        if (!shadow_kernels::WriteShadowFrame(kernels, secret.get(), width, static_cast<std::size_t>(h),
                                              static_cast<std::size_t>(GetRowStride()), source,
                                              indices.get(), frame1.get(), frame2.get())) {
            ShowMessage(kNoPatterns);
            return false;
        }
        pShadow1->AppendFrame(std::move(frame1));
        pShadow2->AppendFrame(std::move(frame2));
        ReportProgress(pShadow1->GetFramesHeld(), m_frames.size());
    }
    return true;
}
