// SPDX-License-Identifier: GPL-3.0-or-later
// Copying and interlacing streams: every output frame is one allocation and one copy of a whole
// frame buffer, alignment bytes included.

#include "vss/StreamStacking.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "io/Progress.h"
#include "vss/VssMessages.h"

namespace {
using namespace vss_messages;

bool Match(const KvtHeader& a, const KvtHeader& b)
{
    return a.width == b.width && a.frameSize == b.frameSize && a.frameCount == b.frameCount;
}

// What differs between two streams that don't match, for the command line's message.
std::string Mismatch(const KvtHeader& a, const KvtHeader& b)
{
    const auto describe = [](const KvtHeader& h) {
        return std::to_string(h.frameCount) + " frames of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
               " (frame size " + std::to_string(h.frameSize) + ")";
    };
    return describe(a) + " against " + describe(b);
}

void ShowMismatch(const KvtHeader& a, const KvtHeader& b)
{
    ShowMessage(kInterlaceMismatch, Mismatch(a, b));
}

// The checks of every interlacing on matching sources, in the order of the result's frames. They
// share one shape and one header frame count.
std::optional<std::uint16_t> CheckInterlaceOrder(const std::vector<FrameSource>& order)
{
    const KvtHeader& first = order.front().header;
    const std::size_t frames = first.frameCount;
    const std::size_t total = frames * order.size();
    // The header can't count more, and a stream left short by an interrupted generation must not be
    // walked past its end.
    if (total > std::numeric_limits<std::uint16_t>::max()) {
        ShowMessage(kInterlaceTooMany);
        return std::nullopt;
    }
    for (const FrameSource& s : order) {
        // A header whose frame size disagrees with width x height could pass the match with a
        // different height; its buffers are then of another length.
        if (s.header.FrameBytes() != first.FrameBytes()) {
            ShowMismatch(first, s.header);
            return std::nullopt;
        }
        if (s.frames < frames) {
            ShowMessage(kInterlaceShort);
            return std::nullopt;
        }
    }
    return static_cast<std::uint16_t>(total);
}
}  // namespace

FrameSource HeldFrames(const CImageStream& stream)
{
    return {stream.GetHeader(), stream.GetFramesHeld()};
}

std::optional<std::uint16_t> CheckInterlaceMode1(const std::vector<FrameSource>& sources)
{
    for (const FrameSource& s : sources)
        if (s.frames == 0) {
            ShowMessage(kInterlaceNoImage);
            return std::nullopt;
        }
    for (const FrameSource& s : sources)
        if (!Match(sources.front().header, s.header)) {
            ShowMismatch(sources.front().header, s.header);
            return std::nullopt;
        }
    return CheckInterlaceOrder(sources);
}

std::optional<std::uint16_t> CheckInterlaceMode2(FrameSource a, FrameSource b, FrameSource c, FrameSource d)
{
    if (a.frames == 0 || b.frames == 0 || c.frames == 0 || d.frames == 0) {
        ShowMessage(kInterlaceNoImage);
        return std::nullopt;
    }
    for (const auto& [x, y] : {std::pair{a, b}, std::pair{a, c}, std::pair{b, d}})
        if (!Match(x.header, y.header)) {
            ShowMismatch(x.header, y.header);
            return std::nullopt;
        }
    return CheckInterlaceOrder({a, c, b, d});
}

bool CheckStackingFrameSizes(const CImageStream& shadow1, const CImageStream& shadow2)
{
    if (shadow1.GetFrameSize() == shadow2.GetFrameSize())
        return true;
    ShowMessage("Two image size must be the same");
    return false;
}

std::optional<std::uint16_t> CheckReveal(const std::vector<FrameSource>& shares)
{
    const KvtHeader& first = shares.front().header;
    std::size_t frames = shares.front().frames;
    for (const FrameSource& s : shares) {
        if (s.header.width != first.width || s.header.height != first.height) {
            ShowMessage(shares.size() == 2 ? kRevealSizeMismatch : kRevealSizesDiffer);
            return std::nullopt;
        }
        frames = std::min(frames, s.frames);
    }
    if (frames == 0) {
        ShowMessage(kRevealNoImage);
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(frames);
}

void StackFrames(const BYTE* shadow1, const BYTE* shadow2, BYTE* result, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        result[i] = shadow1[i] & shadow2[i];
}

void XorFrames(const BYTE* share, BYTE* result, std::size_t bytes)
{
    // Black is 0: the XOR of the black marks is the complement of the XOR of the complements.
    for (std::size_t i = 0; i < bytes; ++i)
        result[i] = static_cast<BYTE>(result[i] ^ share[i] ^ 0xFF);
}

bool RevealByStacking(const CImageStream& shadow1, const CImageStream& shadow2, CImageStream& result)
{
    const auto frames = CheckReveal({HeldFrames(shadow1), HeldFrames(shadow2)});
    if (!frames)
        return false;
    result.Clear();
    result.Initialize(shadow1.GetWidth(), shadow1.GetHeight(), *frames);
    const std::size_t bytes = shadow1.GetFrameBytes();
    POSITION pos1 = shadow1.GetHeadPosition();
    POSITION pos2 = shadow2.GetHeadPosition();
    for (std::size_t k = 0; k < *frames; ++k) {
        const CFrameRef a = shadow1.GetNextFrame(pos1);
        const CFrameRef b = shadow2.GetNextFrame(pos2);
        FrameBuffer frame = AllocateFrameBuffer(bytes);
        if (!frame) {
            ShowMessage(kRevealNoMemory);
            return false;
        }
        StackFrames(a, b, frame.get(), bytes);
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
    if (!AllHeld({pSource})) {
        // Frames read from a file are never changed: the copy reads them from there too.
        TakeShapeOf(*pSource, pSource->m_wFrameCount);
        m_pFrames = pSource->m_pFrames;
        return true;
    }
    const std::size_t frames = pSource->GetFramesHeld();
    if (!MemoryAvailableFor(frames, pSource->GetFrameBytes())) {
        ShowMessage(kCopyNoMemory);
        return false;
    }
    TakeShapeOf(*pSource, pSource->m_wFrameCount);
    for (std::size_t k = 0; k < frames; ++k) {
        if (!AppendCopyOf(pSource->m_pFrames->Frame(k))) {
            ShowMessage(kCopyNoMemory);
            return false;
        }
        ReportProgress(k + 1, frames);
    }
    return true;
}

bool CImageStream::InterlaceMode1(const CImageStream* pA, const CImageStream* pB)
{
    if (pA == nullptr || pB == nullptr) {
        ShowMessage(kInterlaceNotExist);
        return false;
    }
    return CheckInterlaceMode1({HeldFrames(*pA), HeldFrames(*pB)}) && Interlace({pA, pB});
}

bool CImageStream::InterlaceMode2(const CImageStream* pA, const CImageStream* pB,
                                  const CImageStream* pC, const CImageStream* pD)
{
    if (pA == nullptr || pB == nullptr) {
        ShowMessage(kInterlaceNotExist);
        return false;
    }
    // The fresh pair is always made by the caller; a missing one counts as a stream without images.
    if (pC == nullptr || pD == nullptr) {
        ShowMessage(kInterlaceNoImage);
        return false;
    }
    return CheckInterlaceMode2(HeldFrames(*pA), HeldFrames(*pB), HeldFrames(*pC), HeldFrames(*pD)) &&
           Interlace({pA, pC, pB, pD});
}

bool CImageStream::AllHeld(const std::vector<const CImageStream*>& streams)
{
    return std::all_of(streams.begin(), streams.end(), [](const CImageStream* s) { return s->m_pFrames->IsHeld(); });
}

// Frame k of each stream of `order` in turn, for every k; the streams passed the checks. Frames
// held in memory are copied; frames read from files are referred to, and read from there when asked
// for.
bool CImageStream::Interlace(const std::vector<const CImageStream*>& order)
{
    const CImageStream& first = *order.front();
    const std::size_t frames = first.m_wFrameCount;
    const std::size_t total = frames * order.size();
    if (!AllHeld(order)) {
        std::vector<std::shared_ptr<const CFrameSupply>> sources;
        for (const CImageStream* s : order)
            sources.push_back(s->m_pFrames);
        TakeShapeOf(first, static_cast<std::uint16_t>(total));
        m_pFrames = std::make_shared<CInterlacedFrames>(std::move(sources), frames);
        return true;
    }
    if (!MemoryAvailableFor(total, first.GetFrameBytes())) {
        ShowMessage(kInterlaceNoMemory);
        return false;
    }
    TakeShapeOf(first, static_cast<std::uint16_t>(total));
    auto held = std::make_shared<CHeldFrames>();
    held->Reserve(total);
    m_pFrames = held;
    for (std::size_t k = 0; k < frames; ++k) {
        for (const CImageStream* s : order) {
            if (!AppendCopyOf(s->m_pFrames->Frame(k))) {
                ShowMessage(kInterlaceNoMemory);
                return false;
            }
        }
        ReportProgress(held->Count(), total);
    }
    return true;
}
