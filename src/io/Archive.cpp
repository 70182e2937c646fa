// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/Archive.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "io/WholeTransfer.h"

static_assert(std::endian::native == std::endian::little, "the .kvt format is little-endian");

namespace {
std::ptrdiff_t ReadAll(int fd, std::byte* data, std::size_t count)
{
    return TransferWhole(count, [&](std::size_t done) { return ::read(fd, data + done, count - done); });
}

bool WriteAll(int fd, const std::byte* data, std::size_t count)
{
    return WroteWhole(TransferWhole(count, [&](std::size_t done) { return ::write(fd, data + done, count - done); }),
                      count);
}
}  // namespace

CArchive::CArchive(const std::filesystem::path& path, Mode mode)
    : m_mode(mode), m_buffer(new std::byte[kBufferSize])
{
    const int flags = mode == load ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    m_fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    m_bWriteFailed = mode == store && m_fd < 0;
    if (m_bWriteFailed)
        m_nWriteErrno = errno;
}

CArchive::CArchive(int fd, Mode mode)
    : m_mode(mode), m_fd(fd), m_bOwnsFile(false), m_bWriteFailed(mode == store && fd < 0),
      m_buffer(new std::byte[kBufferSize])
{
}

CArchive::~CArchive()
{
    Close();
}

std::size_t CArchive::Read(void* data, std::size_t count)
{
    if (count == 0)
        return 0;  // a frame without pixels may have no buffer
    auto* out = static_cast<std::byte*>(data);
    std::size_t done = std::min(count, m_nEnd - m_nBegin);
    std::memcpy(out, m_buffer.get() + m_nBegin, done);
    m_nBegin += done;
    if (done == count || m_fd < 0 || m_bEndSeen)
        return done;

    // The buffer is drained. Large blocks go straight into the caller's memory.
    if (count - done >= kBufferSize) {
        const std::size_t n = ReadFromFile(out + done, count - done);
        return done + n;
    }
    const std::size_t n = ReadFromFile(m_buffer.get(), kBufferSize);
    m_nBegin = 0;
    m_nEnd = n;
    const std::size_t more = std::min(count - done, m_nEnd);
    std::memcpy(out + done, m_buffer.get(), more);
    m_nBegin = more;
    return done + more;
}

std::size_t CArchive::ReadFromFile(std::byte* data, std::size_t count)
{
    const std::ptrdiff_t n = ReadAll(m_fd, data, count);
    if (n < 0)
        throw CArchiveException(CArchiveException::generic, "read error");
    // A regular file comes up short only at its end.
    m_bEndSeen = static_cast<std::size_t>(n) < count;
    return static_cast<std::size_t>(n);
}

void CArchive::ReadExactly(void* data, std::size_t count)
{
    if (Read(data, count) != count)
        throw CArchiveException(CArchiveException::endOfFile, "unexpected end of file");
}

void CArchive::Write(const void* data, std::size_t count)
{
    if (count == 0)
        return;
    m_nBytesWritten += count;
    const auto* in = static_cast<const std::byte*>(data);
    if (m_nEnd + count > kBufferSize) {
        FlushBuffer();
        if (count >= kBufferSize) {
            if (m_fd < 0 || !WriteAll(m_fd, in, count))
                NoteWriteError();
            return;
        }
    }
    std::memcpy(m_buffer.get() + m_nEnd, in, count);
    m_nEnd += count;
}

bool CArchive::FlushBuffer()
{
    if (m_mode == store && m_nEnd > 0) {
        if (m_fd < 0 || !WriteAll(m_fd, m_buffer.get(), m_nEnd))
            NoteWriteError();
        m_nEnd = 0;
    }
    return !m_bWriteFailed;
}

bool CArchive::Close()
{
    FlushBuffer();
    if (m_fd >= 0 && m_bOwnsFile && ::close(m_fd) != 0 && m_mode == store)
        NoteWriteError();
    m_fd = -1;
    return !m_bWriteFailed;
}

void CArchive::FailWrite(int error)
{
    errno = error;
    NoteWriteError();
}

void CArchive::NoteWriteError()
{
    // The first failure is the one that says why.
    if (!m_bWriteFailed)
        m_nWriteErrno = m_fd < 0 ? EBADF : errno;
    m_bWriteFailed = true;
}

CArchive& CArchive::operator>>(std::uint16_t& value)
{
    ReadExactly(&value, sizeof value);
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& value)
{
    ReadExactly(&value, sizeof value);
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value)
{
    ReadExactly(&value, sizeof value);
    return *this;
}

CArchive& CArchive::operator<<(std::uint16_t value)
{
    Write(&value, sizeof value);
    return *this;
}

CArchive& CArchive::operator<<(std::uint32_t value)
{
    Write(&value, sizeof value);
    return *this;
}

CArchive& CArchive::operator<<(std::int32_t value)
{
    Write(&value, sizeof value);
    return *this;
}
