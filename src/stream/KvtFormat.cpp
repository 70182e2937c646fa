// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/KvtFormat.h"

#include <cstring>

#include "io/Archive.h"

KvtHeader KvtHeader::Built(int width, int height, std::uint16_t frameCount)
{
    KvtHeader header;
    header.fileType = kvt::kFileType;
    header.frameSize = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
    header.width = width;
    header.height = height;
    header.frameCount = frameCount;
    return header;
}

bool KvtHeader::IsStorable() const
{
    return frameSize == static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}

std::string StreamShapeLimit(std::int64_t width, std::int64_t height, std::uint64_t frameCount)
{
    const std::string most = std::to_string(kvt::kMaxSide);
    if (width > kvt::kMaxSide)
        return std::to_string(width) + " pixels wide, more than the " + most + " a stream may be";
    if (height > kvt::kMaxSide)
        return std::to_string(height) + " pixels high, more than the " + most + " a stream may be";
    if (width > 0 && height > 0 &&
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > UINT32_MAX)
        return "frames of " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
               std::to_string(UINT32_MAX) + " a frame of a stream may hold";
    if (frameCount > kvt::kMaxFrameCount)
        return std::to_string(frameCount) + " frames, more than the " + std::to_string(kvt::kMaxFrameCount) +
               " a stream may hold";
    return {};
}

std::size_t KvtHeader::FrameBytes() const
{
    return static_cast<std::size_t>(RowStride()) * static_cast<std::size_t>(height);
}

bool ReadKvtHeader(CArchive& ar, KvtHeader& header)
{
    ar >> header.fileType;
    if (!kvt::IsKvtFileType(header.fileType))
        return false;
    ar >> header.reserved1 >> header.reserved2 >> header.frameSize >> header.width >> header.height >>
        header.frameCount >> header.reserved3 >> header.reserved4;
    return true;
}

void WriteKvtHeader(CArchive& ar, const KvtHeader& header)
{
    ar << header.fileType << header.reserved1 << header.reserved2 << header.frameSize << header.width
       << header.height << header.frameCount << header.reserved3 << header.reserved4;
}

std::size_t ReadFrameRows(CArchive& ar, const KvtHeader& header, std::uint8_t* frame)
{
    const std::size_t stride = static_cast<std::size_t>(header.RowStride());
    const std::size_t width = static_cast<std::size_t>(header.width);
    if (stride == width)
        return ar.Read(frame, header.FrameBytes());  // rows are contiguous: one block
    std::size_t filled = 0;
    for (std::int32_t r = 0; r < header.height && !ar.IsAtEnd(); ++r) {
        std::uint8_t* row = frame + filled;
        const std::size_t got = ar.Read(row, width);
        std::memset(row + got, 0, stride - got);
        filled += stride;
    }
    return filled;
}

void WriteFrameRows(CArchive& ar, const KvtHeader& header, const std::uint8_t* frame)
{
    const std::size_t stride = static_cast<std::size_t>(header.RowStride());
    const std::size_t width = static_cast<std::size_t>(header.width);
    if (stride == width) {
        ar.Write(frame, header.FrameBytes());
        return;
    }
    for (std::int32_t r = 0; r < header.height; ++r)
        ar.Write(frame + r * stride, width);
}
