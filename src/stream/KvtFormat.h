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

#include <cstdint>

namespace kvt {
inline constexpr std::uint32_t kHeaderSize = 24;
inline constexpr std::uint8_t kMagicLow = 0x4B;   // 'K', first byte
inline constexpr std::uint8_t kMagicHigh = 0x56;  // 'V', second byte
inline constexpr std::uint16_t kFileType = kMagicLow | (kMagicHigh << 8);
inline constexpr std::uint32_t kMaxFrameCount = 0xFFFF;
// The widest or highest picture a stream may hold.
inline constexpr std::int32_t kMaxSide = 65536;
}  // namespace kvt
