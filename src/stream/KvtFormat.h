// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The .kvt file: a packed little-endian 24-byte header followed by the frames, each frame height
// rows of width bytes (no row alignment in the file), top row first, one grey byte per pixel.
//
//   offset size field
//   0      1    'K'
//   1      1    'V'
//   2      2    reserved 1
//   4      2    reserved 2
//   6      4    frame size (width * height)
//   10     4    width  (signed)
//   14     4    height (signed)
//   18     2    frame count
//   20     2    reserved 3
//   22     2    reserved 4
//   24     frame count * frame size bytes of frames

#include <cstddef>
#include <cstdint>
#include <string>

class CArchive;

namespace kvt {
inline constexpr std::uint32_t kHeaderSize = 24;
inline constexpr std::uint8_t kMagicLow = 0x4B;   // 'K', first byte
inline constexpr std::uint8_t kMagicHigh = 0x56;  // 'V', second byte
inline constexpr std::uint16_t kFileType = kMagicLow | (kMagicHigh << 8);
inline constexpr std::uint32_t kMaxFrameCount = 0xFFFF;
// The widest or highest picture a stream may hold.
inline constexpr std::int32_t kMaxSide = 65536;

constexpr bool IsKvtFileType(std::uint16_t fileType)
{
    return (fileType & 0xFF) == kMagicLow && (fileType >> 8) == kMagicHigh;
}

// Frame buffers in memory hold rows of width bytes rounded up to a multiple of 4.
constexpr int RowStrideOf(int width)
{
    return (width + 3) / 4 * 4;
}
}  // namespace kvt

// The nine header fields in file order, as they stand: a header read from a file keeps whatever it
// holds, reserved fields and frame size included.
struct KvtHeader {
    std::uint16_t fileType = 0;
    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    std::uint32_t frameSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t frameCount = 0;
    std::uint16_t reserved3 = 0;
    std::uint16_t reserved4 = 0;

    // The header of a stream the program builds: "KV", frame size width x height, reserved 0.
    static KvtHeader Built(int width, int height, std::uint16_t frameCount);

    // The frame size is width x height: a file of this header is read back as it was written.
    bool IsStorable() const;
    int RowStride() const { return kvt::RowStrideOf(width); }
    // Bytes of one frame buffer in memory: row stride * height.
    std::size_t FrameBytes() const;

    bool operator==(const KvtHeader&) const = default;
};

// Why a stream of frameCount frames of width x height pixels could not be stored, or opened again
// by the open-time test, naming the limit ("131072 pixels wide, more than the 65536 a stream may
// be"); empty when it can. A frame count of 0 is the count of frames still to come.
std::string StreamShapeLimit(std::int64_t width, std::int64_t height, std::uint64_t frameCount);

// Reads the file type and, only when it is "KV", the eight fields after it; false otherwise, with
// nothing further read. An archive that runs out throws its end-of-file error.
bool ReadKvtHeader(CArchive& ar, KvtHeader& header);
// The header's 24 bytes.
void WriteKvtHeader(CArchive& ar, const KvtHeader& header);

// The archive's next frame into a frame buffer of this header's shape: rows of width bytes at the
// row stride, alignment bytes 0. Returns how many leading bytes of the buffer it wrote; where the
// file holds no more, the rest is left as it is.
std::size_t ReadFrameRows(CArchive& ar, const KvtHeader& header, std::uint8_t* frame);
// One frame buffer's rows, width bytes each: the alignment bytes are not written.
void WriteFrameRows(CArchive& ar, const KvtHeader& header, const std::uint8_t* frame);
