// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CImageStream: an ordered sequence of equally sized 8-bit grey frames, the header that describes
// them and a ready-made bitmap description and grey palette to draw any of them without conversion.
//
// Frame buffers are height rows of GetRowStride() bytes (width rounded up to a multiple of 4), top
// row first; the bytes past width in each row are 0 and never written to files. Frames are walked
// with POSITIONs; a null position means "past an end of the list".
//
// Where the frames live is the stream's own business (FrameSupply.h): small streams hold them in
// memory; a large stream file is read on demand, a few frames at a time; large built streams
// (shadows) are kept in an unnamed work file; copies and interlacings of such streams refer to
// their sources' frames. Frames come out as CFrameRefs, valid while held.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "stream/FrameSupply.h"
#include "stream/KvtFormat.h"

class CArchive;
class QPainter;
class QRect;

// Frames taking more bytes than this are not all held in memory: a stream file longer than this is
// read on demand, and a stream being built may keep them in a work file (SpoolFrames). 64 MB
// unless set (tests lower it, to try the other ways on small streams).
std::uint64_t InMemoryLimit();
void SetInMemoryLimit(std::uint64_t bytes);

struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// The logical palette: 256 entries, carried as data (the display has no hardware palette).
class CPalette {
public:
    explicit CPalette(const std::array<PALETTEENTRY, 256>& entries) : m_entries(entries) {}
    const std::array<PALETTEENTRY, 256>& GetEntries() const { return m_entries; }

private:
    std::array<PALETTEENTRY, 256> m_entries;
};

// A place in a stream's frame list; default-constructed (or nullptr) it is the null position.
class POSITION {
public:
    constexpr POSITION() = default;
    constexpr POSITION(std::nullptr_t) {}
    explicit constexpr operator bool() const { return m_nIndex != 0; }
    constexpr bool operator==(const POSITION&) const = default;

private:
    friend class CImageStream;
    explicit constexpr POSITION(std::size_t index) : m_nIndex(index + 1) {}
    std::size_t m_nIndex = 0;  // list index + 1; 0 is null
};

class CPatternSource;

// Raster operations of the drawing members: copy the frame, or AND it into what is drawn there.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCAND = 0x008800C6;

class CImageStream {
public:
    CImageStream();
    virtual ~CImageStream();
    CImageStream(const CImageStream&) = delete;
    CImageStream& operator=(const CImageStream&) = delete;

    // Sets a "KV" header of a built stream and its palette; the caller then appends exactly
    // frameCount frames of GetFrameBytes() bytes.
    void Initialize(int width, int height, std::uint16_t frameCount);
    // Clears this stream and takes every field of `header`, with a palette; frames are then appended.
    void SetHeader(const KvtHeader& header);
    void BuildPalette();
    bool ReadHeader(CArchive& ar);
    // Reads the header and then, when the file is no longer than InMemoryLimit(), all the frames;
    // otherwise the frames are read from the archive's file as they are asked for.
    bool Load(CArchive& ar);
    // Writes the header and every frame. A frame that could not be read from its file fails the
    // archive, so that a save keeps the file it would have replaced.
    bool Store(CArchive& ar) const;
    void Clear();
    // False when the frame can't be kept (after a message when a work file could not be written).
    bool AppendFrame(FrameBuffer frame);
    // The frames appended from now on go to an unnamed work file in the user's cache folder, with
    // room held there for the header's frame count. False, with `error` saying where and why,
    // when the file can't be made.
    bool SpoolFrames(std::string& error);

    bool HasFrames() const { return GetFramesHeld() > 0; }
    std::size_t GetFramesHeld() const { return m_pFrames ? m_pFrames->Count() : 0; }
    std::uint16_t GetFileType() const { return m_wFileType; }
    std::uint32_t GetFrameSize() const { return m_dwFrameSize; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    std::uint16_t GetFrameCount() const { return m_wFrameCount; }
    // The nine header fields as they stand.
    KvtHeader GetHeader() const;
    int GetRowStride() const { return kvt::RowStrideOf(m_nWidth); }
    // Bytes of one frame buffer in memory: stride * height.
    std::size_t GetFrameBytes() const;
    const BITMAPINFO* GetBitmapInfo() const { return m_pBitmapInfo.get(); }
    const CPalette* GetPalette() const { return m_pPalette.get(); }
    POSITION GetCurrentPosition() const { return m_posCurrent; }

    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    // The three walks need a non-null position.
    CFrameRef GetNextFrame(POSITION& pos) const;
    CFrameRef GetPrevFrame(POSITION& pos) const;
    CFrameRef GetFrameAt(POSITION pos) const;

    // VSS(2, 2) shadows of this (secret) stream into two fresh streams. Without a source the
    // pattern generator is seeded with the current time.
    bool CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2) const;
    bool CreateVSSShadows(CImageStream* pShadow1, CImageStream* pShadow2,
                          CPatternSource& source) const;

    // This stream becomes an independent copy of pSource.
    bool CopyStream(const CImageStream* pSource);
    // This stream becomes A0, B0, A1, B1, ... of two matching streams.
    bool InterlaceMode1(const CImageStream* pA, const CImageStream* pB);
    // This stream becomes A0, C0, B0, D0, A1, ... of four matching streams.
    bool InterlaceMode2(const CImageStream* pA, const CImageStream* pB, const CImageStream* pC,
                        const CImageStream* pD);

    // --- Drawing, pixel for pixel, straight from the frame buffers (defined in the player library,
    // which links Qt). A picture placed at (x, y) covers columns x .. x+w-1 and rows y .. y+h-1;
    // its one-pixel outline, in the painter's pen, runs along x-1, y-1, x+w+1 and y+h+1. The
    // results are the rows drawn, 0 when no frame was drawn (a null pos draws the outline only).

    void DrawImageFrame(QPainter& dc, int x, int y) const;
    // The whole frame, copied. Without a bitmap description: "Show image error", nothing drawn.
    int ShowImage(QPainter& dc, int x, int y, POSITION pos) const;
    // The whole frame combined with SRCCOPY or SRCAND; other operations draw only the outline.
    int ShowImageRop(QPainter& dc, int x, int y, POSITION pos, std::uint32_t dwRop) const;
    // The outline at (x, y), then the bottom rcDest.height() rows of the frame, taken from its left
    // (nCorner 1) or right (nCorner 2) side, ANDed into rcDest. Parts of rcDest whose source
    // would lie outside the frame are left alone.
    int ShowImagePart(QPainter& dc, int x, int y, POSITION pos, const QRect& rcDest, int nCorner) const;

private:
    // The nine fields of `header`, with a palette; the frames held stay.
    void TakeHeader(const KvtHeader& header);
    // Clears this stream and gives it the shape of `like` with frameCount frames to come.
    void TakeShapeOf(const CImageStream& like, std::uint16_t frameCount);
    // Appends a copy of a frame of this stream's shape; false when memory is short.
    bool AppendCopyOf(const BYTE* frame);
    bool Interlace(const std::vector<const CImageStream*>& order);
    // Frames of streams that all hold theirs in memory are copied; others are referred to.
    static bool AllHeld(const std::vector<const CImageStream*>& streams);

    std::uint16_t m_wFileType = 0;
    std::uint16_t m_wReserved1 = 0;
    std::uint16_t m_wReserved2 = 0;
    std::uint32_t m_dwFrameSize = 0;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::uint16_t m_wFrameCount = 0;
    std::uint16_t m_wReserved3 = 0;
    std::uint16_t m_wReserved4 = 0;
    std::unique_ptr<BITMAPINFO> m_pBitmapInfo;
    std::unique_ptr<CPalette> m_pPalette;
    mutable const BYTE* m_pWorkingFrame = nullptr;
    POSITION m_posCurrent;
    std::shared_ptr<CFrameSupply> m_pFrames;  // null while the stream has no frames
};
