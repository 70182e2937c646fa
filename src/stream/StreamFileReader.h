// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a .kvt file a frame at a time, so that a stream of any length needs memory for only the
// frames its caller holds. Opening does what opening a file in the player does: the open-time
// test, the header read and its checks, with the same messages; each frame then comes as the
// load would have held it.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "io/File.h"
#include "stream/ImageStream.h"
#include "stream/KvtFormat.h"

class CArchive;

class CStreamFileReader {
public:
    CStreamFileReader();
    ~CStreamFileReader();
    CStreamFileReader(const CStreamFileReader&) = delete;
    CStreamFileReader& operator=(const CStreamFileReader&) = delete;

    // False after the message that refused the file. `framesInMemory` is how many frames of this
    // stream the caller will hold at once: the memory test asks for that many.
    bool Open(const std::filesystem::path& path, std::uint64_t framesInMemory = 1);

    // The header's fields, and with them the frame layout (row stride, frame bytes).
    const KvtHeader& GetHeader() const { return m_header; }

    // Bytes the frames claim beyond the end of the file: they read as black.
    std::uint64_t GetMissingBytes() const { return m_nMissingBytes; }

    // The next frame into `frame`, GetHeader().FrameBytes() bytes: rows of width bytes at the
    // row stride, alignment bytes 0, black where the file holds no more. False after the last
    // frame, or after the message when the file can't be read or has become shorter than it was
    // when opened (its frames would be measured or copied as black, and nothing would say so).
    bool ReadFrame(BYTE* frame);

    // The next `count` rows of the frame under way into `rows`, width bytes each without alignment,
    // black where the file holds no more; the frame's last row done, the next frame begins. A
    // caller that handles a frame a band of rows at a time needs a band's memory, not a frame's.
    // False past the last frame or the frame's last row, or after the message when the file can't
    // be read or has become shorter.
    bool ReadRows(BYTE* rows, int count);

    // Makes frame `index` (from 0) the next one ReadFrame gives: a viewer jumps to any frame without
    // reading those before it. False for an index past the last frame or a stream not open.
    bool SeekFrame(std::uint32_t index);

private:
    // After a read that came up short: whether the file is shorter than when it was opened, said
    // after the message.
    bool HasShrunk();

    std::filesystem::path m_path;
    CFile m_file;
    std::unique_ptr<CArchive> m_archive;
    KvtHeader m_header;
    std::uint32_t m_nFramesRead = 0;
    std::int32_t m_nRowsRead = 0;  // of the frame under way, by ReadRows
    std::uint64_t m_nMissingBytes = 0;
};
