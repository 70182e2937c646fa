// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a .kvt file a frame at a time through the safe writer: a header, then frames as they
// come. The file takes the target's place only when it is complete: as many frames written as
// its header counts, and every byte on disk. What is on disk leaves the page cache as the
// stream grows.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "io/AtomicFile.h"
#include "io/WriteBehind.h"
#include "stream/ImageStream.h"
#include "stream/KvtFormat.h"

class CArchive;

class CStreamFileWriter {
public:
    CStreamFileWriter();
    ~CStreamFileWriter();
    CStreamFileWriter(const CStreamFileWriter&) = delete;
    CStreamFileWriter& operator=(const CStreamFileWriter&) = delete;

    // Starts a stream with `header` as it stands, reserved fields included. A frame count of 0
    // means the frames are counted as they come and the header is completed by Commit. False,
    // with GetError(), for a header whose size is negative or whose frame size is not width x
    // height (as Store refuses it), or when the file can't be made.
    bool Open(const std::filesystem::path& target, const KvtHeader& header);
    // Starts a stream of width x height frames with a header of its own. When the frames are
    // counted as they come, room is held on disk for `framesExpected`.
    bool Open(const std::filesystem::path& target, int width, int height, std::uint16_t frameCount,
              std::uint64_t framesExpected = 0);

    // Writes the file at `path` rather than at the target given to Open, which messages and
    // GetTarget still name: for a file of a set, written in the set's hidden folder. Before Open.
    void WriteAt(std::filesystem::path path) { m_writeAt = std::move(path); }

    // The header the writer started, and with it the frame layout it takes.
    const KvtHeader& GetHeader() const { return m_header; }

    // `frame` holds height rows at the row stride; the alignment bytes are not written.
    bool WriteFrame(const BYTE* frame);
    // The next `count` rows of the frames, at the row stride: a frame may come a band of rows at a
    // time, so that no whole frame need be held.
    bool WriteRows(const BYTE* rows, std::size_t count);

    // Puts the file in the target's place. False, with the target untouched, when the frames
    // written differ from the count, none was written, or anything failed.
    bool Commit();
    const std::string& GetError() const { return m_strError; }
    const std::filesystem::path& GetTarget() const { return m_target; }

private:
    bool Open(const std::filesystem::path& target, const KvtHeader& header, std::uint64_t framesExpected);
    // Room for another frame; false, with the error, past the count.
    bool StartFrame();
    // Writes out what is pending and completes the header; the file is then ready to commit.
    bool Complete();
    bool Fail(const std::string& what);

    std::filesystem::path m_target;
    std::filesystem::path m_writeAt;
    std::unique_ptr<CAtomicFile> m_file;
    std::unique_ptr<CArchive> m_archive;
    CWriteBehind m_writeBehind{-1};
    KvtHeader m_header;
    bool m_bCounting = false;
    std::uint32_t m_nFramesWritten = 0;
    std::uint64_t m_nRowsWritten = 0;  // of the frame being written
    std::string m_strError;
};
