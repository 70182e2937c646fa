// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A little-endian byte reader or writer bound to one file, buffered so that reading a row or a
// 16-bit value never costs a system call.
//
// Reading: a block read returns the bytes there are (fewer at end of file, no error); a typed read
// that finds too few bytes throws CArchiveException with cause endOfFile. A failing read call
// throws with cause generic. Once the end of the file is seen, reads ask the system no more.
// Writing: failures are remembered and reported by Close().

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>

class CArchiveException : public std::runtime_error {
public:
    enum Cause { generic, endOfFile };
    CArchiveException(Cause cause, const char* what) : std::runtime_error(what), m_cause(cause) {}
    Cause m_cause;
};

class CArchive {
public:
    enum Mode { load, store };

    // Opens the file for reading (load) or creates/truncates it for writing (store).
    CArchive(const std::filesystem::path& path, Mode mode);
    // Reads or writes an open descriptor from where it stands; the caller keeps and closes it.
    CArchive(int fd, Mode mode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    bool IsStoring() const { return m_mode == store; }
    // Loading: every byte of the file has been handed out.
    bool IsAtEnd() const { return m_bEndSeen && m_nBegin == m_nEnd; }

    std::size_t Read(void* data, std::size_t count);
    void Write(const void* data, std::size_t count);

    CArchive& operator>>(std::uint16_t& value);
    CArchive& operator>>(std::uint32_t& value);
    CArchive& operator>>(std::int32_t& value);
    CArchive& operator<<(std::uint16_t value);
    CArchive& operator<<(std::uint32_t value);
    CArchive& operator<<(std::int32_t value);

    // Writes out what is buffered and closes the file (unless the caller owns it); false when any
    // write (or the close) failed.
    bool Close();

    // Why the first failed write failed (an errno value), 0 while none has.
    int GetWriteError() const { return m_nWriteErrno; }
    // Marks the writing failed for `error`, as a failed write would: Close() says so, and a safe
    // save keeps the file it would have replaced.
    void FailWrite(int error);

    // The file's descriptor, -1 when none is open.
    int GetDescriptor() const { return m_fd; }

    // Bytes handed to Write so far (store).
    std::uint64_t GetBytesWritten() const { return m_nBytesWritten; }

private:
    std::size_t ReadFromFile(std::byte* data, std::size_t count);
    void ReadExactly(void* data, std::size_t count);
    bool FlushBuffer();
    void NoteWriteError();

    // Small enough to come from the heap rather than a mapping of its own; blocks this size and
    // larger bypass it.
    static constexpr std::size_t kBufferSize = std::size_t{64} << 10;

    Mode m_mode;
    int m_fd = -1;
    bool m_bOwnsFile = true;
    bool m_bEndSeen = false;
    bool m_bWriteFailed = false;
    int m_nWriteErrno = 0;
    std::uint64_t m_nBytesWritten = 0;
    std::unique_ptr<std::byte[]> m_buffer;
    std::size_t m_nBegin = 0;  // next unread byte (load)
    std::size_t m_nEnd = 0;    // end of valid bytes (load) or of pending bytes (store)
};
