// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/StreamFileReader.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "io/Archive.h"
#include "io/DocumentMessages.h"
#include "io/Message.h"
#include "stream/KvtFormat.h"
#include "stream/StreamFileCheck.h"
#include "stream/StreamMessages.h"

CStreamFileReader::CStreamFileReader() = default;

CStreamFileReader::~CStreamFileReader() = default;

bool CStreamFileReader::Open(const std::filesystem::path& path, std::uint64_t framesInMemory)
{
    m_archive.reset();
    m_header = {};
    m_nFramesRead = 0;
    m_nRowsRead = 0;
    m_nMissingBytes = 0;
    m_path = path;
    if (!CheckStreamFile(path, m_file))
        return false;
    m_archive = std::make_unique<CArchive>(m_file.GetDescriptor(), CArchive::load);
    try {
        if (!ReadKvtHeader(*m_archive, m_header)) {
            ShowMessage(kFileTypesError, path.string() + ": not a stream of this program");
            m_header = {};
            return false;
        }
    } catch (const CArchiveException& e) {
        ShowMessage(e.m_cause == CArchiveException::endOfFile ? kFailedInvalidFormat : kFailedToOpenDoc,
                    path.string() + ": the header can't be read");
        return false;
    }
    if (!CheckFrameGeometry(m_header, framesInMemory)) {
        m_header = {};
        return false;
    }
    // A file holds width bytes a row; a frame-size field smaller than that leaves frames short.
    const std::uint64_t claimed = std::uint64_t{m_header.frameCount} *
                                  static_cast<std::uint64_t>(m_header.width) *
                                  static_cast<std::uint64_t>(m_header.height);
    const std::uint64_t held = m_file.GetLength() - kvt::kHeaderSize;
    m_nMissingBytes = claimed > held ? claimed - held : 0;
    return true;
}

bool CStreamFileReader::ReadFrame(BYTE* frame)
{
    if (!m_archive || m_nFramesRead >= m_header.frameCount || m_nRowsRead > 0)
        return false;
    try {
        const std::size_t filled = ReadFrameRows(*m_archive, m_header, frame);
        if (filled < m_header.FrameBytes()) {
            if (HasShrunk())
                return false;
            std::memset(frame + filled, 0, m_header.FrameBytes() - filled);
        }
    } catch (const CArchiveException&) {
        ShowMessage(kFailedToOpenDoc);
        m_archive.reset();
        return false;
    }
    ++m_nFramesRead;
    return true;
}

bool CStreamFileReader::ReadRows(BYTE* rows, int count)
{
    if (!m_archive || m_nFramesRead >= m_header.frameCount || count < 0 || count > m_header.height - m_nRowsRead)
        return false;
    const std::size_t bytes = static_cast<std::size_t>(count) * static_cast<std::size_t>(m_header.width);
    try {
        const std::size_t got = m_archive->Read(rows, bytes);
        if (got < bytes && HasShrunk())
            return false;
        std::memset(rows + got, 0, bytes - got);
    } catch (const CArchiveException&) {
        ShowMessage(kFailedToOpenDoc);
        m_archive.reset();
        return false;
    }
    m_nRowsRead += count;
    if (m_nRowsRead == m_header.height) {
        m_nRowsRead = 0;
        ++m_nFramesRead;
    }
    return true;
}

bool CStreamFileReader::HasShrunk()
{
    struct stat status {};
    if (::fstat(m_file.GetDescriptor(), &status) != 0 || static_cast<std::uint64_t>(status.st_size) >= m_file.GetLength())
        return false;
    ShowMessage(kFailedToOpenDoc, m_path.string() + ": " + kFileShrank);
    m_archive.reset();
    return true;
}

bool CStreamFileReader::SeekFrame(std::uint32_t index)
{
    if (!m_file.IsOpen() || index >= m_header.frameCount)
        return false;
    // Frames in the file are width bytes a row, without the alignment of a frame in memory.
    const auto offset = static_cast<off_t>(kvt::kHeaderSize + std::uint64_t{index} *
                                                                   static_cast<std::uint64_t>(m_header.width) *
                                                                   static_cast<std::uint64_t>(m_header.height));
    if (::lseek(m_file.GetDescriptor(), offset, SEEK_SET) != offset)
        return false;
    m_archive = std::make_unique<CArchive>(m_file.GetDescriptor(), CArchive::load);
    m_nFramesRead = index;
    m_nRowsRead = 0;
    return true;
}
