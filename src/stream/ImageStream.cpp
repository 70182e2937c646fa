// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/ImageStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "io/Archive.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "io/SharedFile.h"
#include "stream/FileFrames.h"
#include "stream/SpooledFrames.h"
#include "stream/StreamFileCheck.h"
#include "stream/StreamMessages.h"

namespace {
std::uint64_t& Limit()
{
    static std::uint64_t bytes = std::uint64_t{64} << 20;
    return bytes;
}

// The file open on `fd`, with a descriptor of the stream's own, when its frames are to be read on
// demand: a regular file longer than the in-memory limit. Null otherwise, and when no descriptor
// is left: the frames are then read whole.
std::shared_ptr<CSharedFile> FileToReadOnDemand(int fd)
{
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    const auto length = static_cast<std::uint64_t>(status.st_size);
    return length > InMemoryLimit() ? CSharedFile::Duplicate(fd, length) : nullptr;
}
}  // namespace

std::uint64_t InMemoryLimit()
{
    return Limit();
}

void SetInMemoryLimit(std::uint64_t bytes)
{
    Limit() = bytes;
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
    // A file read on demand holds a few frames at once whatever its length, and it is those that
    // must fit in memory; a file read whole holds them all.
    std::shared_ptr<CSharedFile> file = FileToReadOnDemand(ar.GetDescriptor());
    const std::uint64_t framesInMemory =
        file ? std::min<std::uint64_t>(m_wFrameCount, CFileFrames::kCachedFrames) : m_wFrameCount;
    if (!CheckFrameGeometry(header, framesInMemory)) {
        Clear();
        return false;
    }
    if (file) {
        m_pFrames = CFileFrames::Create(std::move(file), header, kvt::kHeaderSize, m_wFrameCount);
        if (!m_pFrames) {
            ShowMessage(kNotEnoughMemory);
            Clear();
            return false;
        }
        m_posCurrent = GetHeadPosition();
        return true;
    }

    auto held = std::make_shared<CHeldFrames>();
    held->Reserve(m_wFrameCount);
    for (unsigned n = 0; n < m_wFrameCount; ++n) {
        FrameBuffer frame = AllocateFrameBuffer(header.FrameBytes());
        if (!frame) {
            ShowMessage(kNotEnoughMemory);
            Clear();
            return false;
        }
        m_pWorkingFrame = frame.get();
        ReadFrameRows(ar, header, frame.get());
        held->Append(std::move(frame));
        m_pWorkingFrame = nullptr;
    }
    m_pFrames = std::move(held);
    m_posCurrent = GetHeadPosition();
    return true;
}

bool CImageStream::Store(CArchive& ar) const
{
    // Only a stream that a reader would take back as it is gets written: every frame the header
    // counts is held, and each holds the frame size the header claims.
    const KvtHeader header = GetHeader();
    if (!HasFrames() || GetFramesHeld() != m_wFrameCount || !header.IsStorable())
        return false;

    WriteKvtHeader(ar, header);
    for (std::size_t k = 0; k < m_wFrameCount; ++k) {
        const CFrameRef frame = m_pFrames->Frame(k);
        m_pWorkingFrame = frame.get();
        WriteFrameRows(ar, header, frame.get());
        // A frame its file could not give came black: saved, it would lose the picture for good.
        if (m_pFrames->HasFailedRead()) {
            ar.FailWrite(EIO);
            break;
        }
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
    m_pFrames.reset();
}

bool CImageStream::AppendFrame(FrameBuffer frame)
{
    if (!m_pFrames)
        m_pFrames = std::make_shared<CHeldFrames>();
    return m_pFrames->Append(std::move(frame));
}

bool CImageStream::SpoolFrames(std::string& error)
{
    std::shared_ptr<CSpooledFrames> spool = CSpooledFrames::Create(GetHeader(), error);
    if (!spool)
        return false;
    m_pFrames = std::move(spool);
    return true;
}

POSITION CImageStream::GetHeadPosition() const
{
    return HasFrames() ? POSITION(std::size_t{0}) : POSITION();
}

POSITION CImageStream::GetTailPosition() const
{
    return HasFrames() ? POSITION(GetFramesHeld() - 1) : POSITION();
}

CFrameRef CImageStream::GetNextFrame(POSITION& pos) const
{
    const std::size_t index = pos.m_nIndex - 1;
    pos = index + 1 < GetFramesHeld() ? POSITION(index + 1) : POSITION();
    return m_pFrames->Frame(index);
}

CFrameRef CImageStream::GetPrevFrame(POSITION& pos) const
{
    const std::size_t index = pos.m_nIndex - 1;
    pos = index > 0 ? POSITION(index - 1) : POSITION();
    return m_pFrames->Frame(index);
}

CFrameRef CImageStream::GetFrameAt(POSITION pos) const
{
    return m_pFrames->Frame(pos.m_nIndex - 1);
}
