// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/ImageStream.h"

#include <cstring>

#include "io/Archive.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "stream/StreamFileCheck.h"
#include "stream/StreamMessages.h"

FrameBuffer AllocateFrameBuffer(std::size_t bytes)
{
    // calloc hands out fresh pages already zeroed, which makes big frames nearly free to clear.
    return FrameBuffer(static_cast<BYTE*>(std::calloc(bytes == 0 ? 1 : bytes, 1)));
}

FrameBuffer CopyFrameBuffer(const BYTE* frame, std::size_t bytes)
{
    FrameBuffer copy(static_cast<BYTE*>(std::malloc(bytes == 0 ? 1 : bytes)));
    if (copy)
        std::memcpy(copy.get(), frame, bytes);
    return copy;
}

CImageStream::CImageStream() = default;

CImageStream::~CImageStream() = default;

std::size_t CImageStream::GetFrameBytes() const
{
    return GetHeader().FrameBytes();
}

KvtHeader CImageStream::GetHeader() const
{
    return {m_wFileType, m_wReserved1, m_wReserved2, m_dwFrameSize, m_nWidth,
            m_nHeight,   m_wFrameCount, m_wReserved3, m_wReserved4};
}

void CImageStream::SetHeader(const KvtHeader& header)
{
    Clear();
    TakeHeader(header);
}

void CImageStream::TakeHeader(const KvtHeader& header)
{
    m_wFileType = header.fileType;
    m_wReserved1 = header.reserved1;
    m_wReserved2 = header.reserved2;
    m_dwFrameSize = header.frameSize;
    m_nWidth = header.width;
    m_nHeight = header.height;
    m_wFrameCount = header.frameCount;
    m_wReserved3 = header.reserved3;
    m_wReserved4 = header.reserved4;
    BuildPalette();
}

void CImageStream::Initialize(int width, int height, std::uint16_t frameCount)
{
    TakeHeader(KvtHeader::Built(width, height, frameCount));
}

void CImageStream::BuildPalette()
{
    m_pBitmapInfo.reset();
    m_pPalette.reset();

    auto info = std::make_unique<BITMAPINFO>();
    // Negated without overflow: a loaded header may hold any height, even INT32_MIN, until the
    // load refuses it.
    const auto topDown = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(m_nHeight));
    info->bmiHeader = BITMAPINFOHEADER{40, m_nWidth, topDown, 1, 8, 0, 0, 0, 0, 256, 256};
    std::array<PALETTEENTRY, 256> grey{};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        info->bmiColors[i] = RGBQUAD{v, v, v, 0};
        grey[i] = PALETTEENTRY{v, v, v, 0};
    }
    m_pBitmapInfo = std::move(info);
    m_pPalette = std::make_unique<CPalette>(grey);
}

bool CImageStream::ReadHeader(CArchive& ar)
{
    KvtHeader header;
    if (!ReadKvtHeader(ar, header)) {
        ShowMessage(kFileTypesError);
        Clear();
        return false;
    }
    TakeHeader(header);
    return true;
}

bool CImageStream::Load(CArchive& ar)
{
    if (!ReadHeader(ar))
        return false;
    const KvtHeader header = GetHeader();
    if (!CheckFrameGeometry(header, m_wFrameCount)) {
        Clear();
        return false;
    }

    m_frames.reserve(m_wFrameCount);
    for (unsigned n = 0; n < m_wFrameCount; ++n) {
        FrameBuffer frame = AllocateFrameBuffer(header.FrameBytes());
        if (!frame) {
            ShowMessage(kNotEnoughMemory);
            Clear();
            return false;
        }
        m_pWorkingFrame = frame.get();
        ReadFrameRows(ar, header, frame.get());
        m_frames.push_back(std::move(frame));
        m_pWorkingFrame = nullptr;
    }
    m_posCurrent = GetHeadPosition();
    return true;
}

bool CImageStream::Store(CArchive& ar) const
{
    // Only a stream that a reader would take back as it is gets written: every frame the header
    // counts is held, and each holds the frame size the header claims.
    const KvtHeader header = GetHeader();
    if (m_frames.empty() || m_frames.size() != m_wFrameCount || !header.IsStorable())
        return false;

    WriteKvtHeader(ar, header);
    for (const FrameBuffer& frame : m_frames) {
        m_pWorkingFrame = frame.get();
        WriteFrameRows(ar, header, frame.get());
    }
    m_pWorkingFrame = nullptr;
    return true;
}

void CImageStream::Clear()
{
    m_wFileType = m_wReserved1 = m_wReserved2 = 0;
    m_dwFrameSize = 0;
    m_nWidth = m_nHeight = 0;
    m_wFrameCount = m_wReserved3 = m_wReserved4 = 0;
    m_pBitmapInfo.reset();
    m_pPalette.reset();
    m_pWorkingFrame = nullptr;
    m_posCurrent = nullptr;
    m_frames.clear();
}

void CImageStream::AppendFrame(FrameBuffer frame)
{
    m_frames.push_back(std::move(frame));
}

POSITION CImageStream::GetHeadPosition() const
{
    return m_frames.empty() ? POSITION() : POSITION(std::size_t{0});
}

POSITION CImageStream::GetTailPosition() const
{
    return m_frames.empty() ? POSITION() : POSITION(m_frames.size() - 1);
}

BYTE* CImageStream::GetNextFrame(POSITION& pos) const
{
    const std::size_t index = pos.m_nIndex - 1;
    pos = index + 1 < m_frames.size() ? POSITION(index + 1) : POSITION();
    return m_frames[index].get();
}

BYTE* CImageStream::GetPrevFrame(POSITION& pos) const
{
    const std::size_t index = pos.m_nIndex - 1;
    pos = index > 0 ? POSITION(index - 1) : POSITION();
    return m_frames[index].get();
}

BYTE* CImageStream::GetFrameAt(POSITION pos) const
{
    return m_frames[pos.m_nIndex - 1].get();
}
