// Copying and interlacing streams: every output frame is one allocation and one copy of a whole
// frame buffer, alignment bytes included.

#include "vss/StreamStacking.h"

#include <algorithm>
#include <limits>

#include "framework/Message.h"
#include "framework/Progress.h"
#include "stream/ImageStream.h"
#include "stream/MemoryBudget.h"

namespace {
constexpr const char* kCopyNoMemory = "Copy streams error: Not avalible memory.";
constexpr const char* kInterlaceNotExist = "Interlacing streams error: Streams are not exist.";
constexpr const char* kInterlaceNoImage = "Interlacing streams error: No image in interlacing stream.";
constexpr const char* kInterlaceMismatch = "Interlacing streams error: Image size not match.";
constexpr const char* kInterlaceNoMemory = "Interlacing streams error: Not avalible memory.";
constexpr const char* kInterlaceTooMany =
    "Interlacing streams error: The result would hold more than 65535 images.";
constexpr const char* kInterlaceShort =
    "Interlacing streams error: A stream holds fewer images than its header says.";

bool Match(const CImageStream& a, const CImageStream& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetFrameSize() == b.GetFrameSize() &&
           a.GetFrameCount() == b.GetFrameCount();
}
}  // namespace

bool CheckStackingFrameSizes(const CImageStream& shadow1, const CImageStream& shadow2)
{
    if (shadow1.GetFrameSize() == shadow2.GetFrameSize())
        return true;
    ShowMessage("Two image size must be the same");
    return false;
}

bool RevealByStacking(const CImageStream& shadow1, const CImageStream& shadow2, CImageStream& result)
{
    if (shadow1.GetWidth() != shadow2.GetWidth() || shadow1.GetHeight() != shadow2.GetHeight()) {
        ShowMessage("Reveal error: The two streams must have the same width and height.");
        return false;
    }
    const std::size_t frames = std::min(shadow1.GetFramesHeld(), shadow2.GetFramesHeld());
    if (frames == 0) {
        ShowMessage("Reveal error: No image in stacking stream.");
        return false;
    }
    result.Clear();
    result.Initialize(shadow1.GetWidth(), shadow1.GetHeight(), static_cast<std::uint16_t>(frames));
    const std::size_t bytes = shadow1.GetFrameBytes();
    POSITION pos1 = shadow1.GetHeadPosition();
    POSITION pos2 = shadow2.GetHeadPosition();
    for (std::size_t k = 0; k < frames; ++k) {
        const BYTE* a = shadow1.GetNextFrame(pos1);
        const BYTE* b = shadow2.GetNextFrame(pos2);
        FrameBuffer frame = AllocateFrameBuffer(bytes);
        if (!frame) {
            ShowMessage("Reveal error: Not enough memory for the images.");
            return false;
        }
        for (std::size_t i = 0; i < bytes; ++i)
            frame[i] = a[i] & b[i];
        result.AppendFrame(std::move(frame));
    }
    return true;
}

void CImageStream::TakeShapeOf(const CImageStream& like, std::uint16_t frameCount)
{
    Clear();
    m_wFileType = like.m_wFileType;
    m_dwFrameSize = like.m_dwFrameSize;
    m_nWidth = like.m_nWidth;
    m_nHeight = like.m_nHeight;
    m_wFrameCount = frameCount;
    BuildPalette();
}

bool CImageStream::AppendCopyOf(const BYTE* frame)
{
    FrameBuffer copy = CopyFrameBuffer(frame, GetFrameBytes());
    if (!copy)
        return false;
    AppendFrame(std::move(copy));
    return true;
}

bool CImageStream::CopyStream(const CImageStream* pSource)
{
    if (pSource == nullptr) {
        ShowMessage("Copy streams error: Copy stream is empty.");
        return false;
    }
    if (!pSource->HasFrames()) {
        ShowMessage("Copy streams error: No image in copy stream.");
        return false;
    }
    if (!MemoryAvailableFor(pSource->m_frames.size(), pSource->GetFrameBytes())) {
        ShowMessage(kCopyNoMemory);
        return false;
    }
    TakeShapeOf(*pSource, pSource->m_wFrameCount);
    for (const FrameBuffer& frame : pSource->m_frames) {
        if (!AppendCopyOf(frame.get())) {
            ShowMessage(kCopyNoMemory);
            return false;
        }
        ReportProgress(m_frames.size(), pSource->m_frames.size());
    }
    return true;
}

bool CImageStream::InterlaceMode1(const CImageStream* pA, const CImageStream* pB)
{
    if (pA == nullptr || pB == nullptr) {
        ShowMessage(kInterlaceNotExist);
        return false;
    }
    if (!pA->HasFrames() || !pB->HasFrames()) {
        ShowMessage(kInterlaceNoImage);
        return false;
    }
    if (!Match(*pA, *pB)) {
        ShowMessage(kInterlaceMismatch);
        return false;
    }
    return Interlace({pA, pB});
}

bool CImageStream::InterlaceMode2(const CImageStream* pA, const CImageStream* pB,
                                  const CImageStream* pC, const CImageStream* pD)
{
    if (pA == nullptr || pB == nullptr) {
        ShowMessage(kInterlaceNotExist);
        return false;
    }
    // The fresh pair is always made by the caller; a missing one counts as a stream without images.
    const auto hasFrames = [](const CImageStream* s) { return s != nullptr && s->HasFrames(); };
    if (!hasFrames(pA) || !hasFrames(pB) || !hasFrames(pC) || !hasFrames(pD)) {
        ShowMessage(kInterlaceNoImage);
        return false;
    }
    if (!Match(*pA, *pB) || !Match(*pA, *pC) || !Match(*pB, *pD)) {
        ShowMessage(kInterlaceMismatch);
        return false;
    }
    return Interlace({pA, pC, pB, pD});
}

// Appends frame k of each stream of `order` in turn, for every k. The inputs match, so they share
// one shape and one header frame count.
bool CImageStream::Interlace(const std::vector<const CImageStream*>& order)
{
    const CImageStream& first = *order.front();
    const std::size_t frames = first.m_wFrameCount;
    const std::size_t total = frames * order.size();
    // Refused before anything is cleared: the header can't count more, and a stream left short by
    // an interrupted generation must not be walked past its end.
    if (total > std::numeric_limits<std::uint16_t>::max()) {
        ShowMessage(kInterlaceTooMany);
        return false;
    }
    for (const CImageStream* s : order) {
        // A header whose frame size disagrees with width x height could pass the match with a
        // different height; its buffers are then of another length.
        if (s->GetFrameBytes() != first.GetFrameBytes()) {
            ShowMessage(kInterlaceMismatch);
            return false;
        }
        if (s->m_frames.size() < frames) {
            ShowMessage(kInterlaceShort);
            return false;
        }
    }
    if (!MemoryAvailableFor(total, first.GetFrameBytes())) {
        ShowMessage(kInterlaceNoMemory);
        return false;
    }
    TakeShapeOf(first, static_cast<std::uint16_t>(total));
    m_frames.reserve(total);
    for (std::size_t k = 0; k < frames; ++k) {
        for (const CImageStream* s : order) {
            if (!AppendCopyOf(s->m_frames[k].get())) {
                ShowMessage(kInterlaceNoMemory);
                return false;
            }
        }
        ReportProgress(m_frames.size(), total);
    }
    return true;
}
