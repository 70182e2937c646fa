// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/StreamFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

#include "io/Archive.h"
#include "stream/KvtFormat.h"

namespace {
constexpr off_t kFrameCountOffset = 18;
}  // namespace

CStreamFileWriter::CStreamFileWriter() = default;

CStreamFileWriter::~CStreamFileWriter() = default;

bool CStreamFileWriter::Fail(const std::string& what)
{
    m_strError = what;
    return false;
}

bool CStreamFileWriter::Open(const std::filesystem::path& target, const KvtHeader& header)
{
    return Open(target, header, header.frameCount);
}

bool CStreamFileWriter::Open(const std::filesystem::path& target, const KvtHeader& header,
                             std::uint64_t framesExpected)
{
    if (header.width < 0 || header.height < 0 || header.width > INT_MAX - 3)
        return Fail("a picture can't have that size");
    if (const std::string limit = StreamShapeLimit(header.width, header.height, framesExpected); !limit.empty())
        return Fail(limit);
    if (!header.IsStorable())
        return Fail("the frame size is not width x height");
    m_target = target;
    m_file = std::make_unique<CAtomicFile>(m_writeAt.empty() ? target : m_writeAt);
    const std::uint64_t bytes = kvt::kHeaderSize + framesExpected * header.frameSize;
    if (!m_file->Open(bytes))
        return Fail(m_file->GetError());
    m_archive = std::make_unique<CArchive>(m_file->GetDescriptor(), CArchive::store);
    m_writeBehind = CWriteBehind(m_file->GetDescriptor());
    m_header = header;
    m_bCounting = header.frameCount == 0;
    m_nFramesWritten = 0;
    m_nRowsWritten = 0;
    WriteKvtHeader(*m_archive, m_header);
    return true;
}

bool CStreamFileWriter::Open(const std::filesystem::path& target, int width, int height,
                             std::uint16_t frameCount, std::uint64_t framesExpected)
{
    return Open(target, KvtHeader::Built(width, height, frameCount), frameCount != 0 ? frameCount : framesExpected);
}

bool CStreamFileWriter::StartFrame()
{
    if (!m_archive)
        return Fail("not open");
    const std::uint32_t limit = m_bCounting ? kvt::kMaxFrameCount : m_header.frameCount;
    if (m_nFramesWritten >= limit)
        return Fail(m_bCounting ? "more than 65535 frames" : "more frames than the header counts");
    return true;
}

bool CStreamFileWriter::WriteFrame(const BYTE* frame)
{
    if (m_nRowsWritten != 0)
        return Fail("a frame was cut short");
    if (!StartFrame())
        return false;
    WriteFrameRows(*m_archive, m_header, frame);
    m_writeBehind.Advance(m_archive->GetBytesWritten());
    ++m_nFramesWritten;
    return true;
}

bool CStreamFileWriter::WriteRows(const BYTE* rows, std::size_t count)
{
    const auto width = static_cast<std::size_t>(m_header.width);
    const auto stride = static_cast<std::size_t>(m_header.RowStride());
    const auto height = static_cast<std::uint64_t>(m_header.height);
    if (count > 0 && height == 0)
        return Fail("rows given for frames of none");
    while (count > 0) {
        if (m_nRowsWritten == 0 && !StartFrame())
            return false;
        // Within one frame, in one call where the rows have no alignment bytes.
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(count, height - m_nRowsWritten));
        if (stride == width)
            m_archive->Write(rows, take * width);
        else
            for (std::size_t r = 0; r < take; ++r)
                m_archive->Write(rows + r * stride, width);
        rows += take * stride;
        count -= take;
        m_nRowsWritten += take;
        if (m_nRowsWritten == height) {
            m_nRowsWritten = 0;
            ++m_nFramesWritten;
        }
    }
    m_writeBehind.Advance(m_archive->GetBytesWritten());
    return true;
}

bool CStreamFileWriter::Complete()
{
    if (!m_archive)
        return Fail("not open");
    const bool written = m_archive->Close();
    const int error = m_archive->GetWriteError();
    m_archive.reset();
    if (!written)
        return Fail(std::strerror(error));
    if (m_nRowsWritten != 0)
        return Fail("a frame was cut short");
    if (m_nFramesWritten == 0)
        return Fail("no frames");
    if (!m_bCounting)
        return m_nFramesWritten == m_header.frameCount || Fail("fewer frames than the header counts");
    const auto count = static_cast<std::uint16_t>(m_nFramesWritten);
    if (::pwrite(m_file->GetDescriptor(), &count, sizeof count, kFrameCountOffset) != sizeof count)
        return Fail(std::strerror(errno));
    return true;
}

bool CStreamFileWriter::Commit()
{
    if (!Complete())
        return false;
    return m_file->Commit() || Fail(m_file->GetError());
}
