#include "stream/ImageStream.h"

#include <climits>
#include <cstring>

#include "io/Archive.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "stream/KvtFormat.h"
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
    return static_cast<std::size_t>(GetRowStride()) * static_cast<std::size_t>(m_nHeight);
}

void CImageStream::Initialize(int width, int height, std::uint16_t frameCount)
{
    m_wFileType = kvt::kFileType;
    m_wReserved1 = m_wReserved2 = 0;
    m_dwFrameSize = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
    m_nWidth = width;
    m_nHeight = height;
    m_wFrameCount = frameCount;
    m_wReserved3 = m_wReserved4 = 0;
    BuildPalette();
}

void CImageStream::CopyHeaderOf(const CImageStream& other)
{
    Clear();
    m_wFileType = other.m_wFileType;
    m_wReserved1 = other.m_wReserved1;
    m_wReserved2 = other.m_wReserved2;
    m_dwFrameSize = other.m_dwFrameSize;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_wFrameCount = other.m_wFrameCount;
    m_wReserved3 = other.m_wReserved3;
    m_wReserved4 = other.m_wReserved4;
    BuildPalette();
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
    ar >> m_wFileType;
    if ((m_wFileType & 0xFF) != kvt::kMagicLow || (m_wFileType >> 8) != kvt::kMagicHigh) {
        ShowMessage("File Types Error");
        Clear();
        return false;
    }
    ar >> m_wReserved1 >> m_wReserved2 >> m_dwFrameSize >> m_nWidth >> m_nHeight >> m_wFrameCount >>
        m_wReserved3 >> m_wReserved4;
    BuildPalette();
    return true;
}

bool CImageStream::CheckFrameGeometry(std::uint64_t framesInMemory) const
{
    if (m_nWidth < 0 || m_nHeight < 0) {
        ShowMessage("Image size error: Width and height can't be negative");
        return false;
    }
    // The frames held at once must fit in the memory the process can get; refuse before the first
    // buffer is allocated.
    const unsigned long long stride = (static_cast<unsigned long long>(m_nWidth) + 3) / 4 * 4;
    const unsigned long long frame = stride * static_cast<unsigned long long>(m_nHeight);
    if (stride > INT_MAX || !MemoryAvailableFor(framesInMemory, frame)) {
        ShowMessage(kNotEnoughMemory);
        return false;
    }
    // Pictures are placed and drawn with int coordinates, twice as wide and high for shadows.
    if (m_nWidth > kvt::kMaxSide || m_nHeight > kvt::kMaxSide) {
        ShowMessage("Image size error: Width and height can't be more than 65536");
        return false;
    }
    return true;
}

bool CImageStream::Load(CArchive& ar)
{
    if (!ReadHeader(ar))
        return false;
    if (!CheckFrameGeometry(m_wFrameCount)) {
        Clear();
        return false;
    }

    m_frames.reserve(m_wFrameCount);
    for (unsigned n = 0; n < m_wFrameCount; ++n) {
        FrameBuffer frame = AllocateFrameBuffer(GetFrameBytes());
        if (!frame) {
            ShowMessage(kNotEnoughMemory);
            Clear();
            return false;
        }
        m_pWorkingFrame = frame.get();
        ReadFrameRows(ar, frame.get());
        m_frames.push_back(std::move(frame));
        m_pWorkingFrame = nullptr;
    }
    m_posCurrent = GetHeadPosition();
    return true;
}

std::size_t CImageStream::ReadFrameRows(CArchive& ar, BYTE* frame) const
{
    const std::size_t stride = static_cast<std::size_t>(GetRowStride());
    const std::size_t width = static_cast<std::size_t>(m_nWidth);
    if (stride == width)
        return ar.Read(frame, GetFrameBytes());  // rows are contiguous: one block
    std::size_t filled = 0;
    for (std::int32_t r = 0; r < m_nHeight && !ar.IsAtEnd(); ++r) {
        BYTE* row = frame + filled;
        const std::size_t got = ar.Read(row, width);
        std::memset(row + got, 0, stride - got);
        filled += stride;
    }
    return filled;
}

bool CImageStream::Store(CArchive& ar) const
{
    // Only a stream that a reader would take back as it is gets written: every frame the header
    // counts is held, and each holds the frame size the header claims.
    if (m_frames.empty() || m_frames.size() != m_wFrameCount || !HasStorableHeader())
        return false;

    StoreHeader(ar);
    for (const FrameBuffer& frame : m_frames) {
        m_pWorkingFrame = frame.get();
        StoreFrameRows(ar, frame.get());
    }
    m_pWorkingFrame = nullptr;
    return true;
}

bool CImageStream::HasStorableHeader() const
{
    return m_dwFrameSize == static_cast<std::uint64_t>(m_nWidth) * static_cast<std::uint64_t>(m_nHeight);
}

void CImageStream::StoreHeader(CArchive& ar) const
{
    ar << m_wFileType << m_wReserved1 << m_wReserved2 << m_dwFrameSize << m_nWidth << m_nHeight
       << m_wFrameCount << m_wReserved3 << m_wReserved4;
}

void CImageStream::StoreFrameRows(CArchive& ar, const BYTE* frame) const
{
    const std::size_t stride = static_cast<std::size_t>(GetRowStride());
    const std::size_t width = static_cast<std::size_t>(m_nWidth);
    if (stride == width) {
        ar.Write(frame, GetFrameBytes());
        return;
    }
    for (std::int32_t r = 0; r < m_nHeight; ++r)
        ar.Write(frame + r * stride, width);
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
