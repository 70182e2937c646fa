// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stream file opened once for reading. The open-time test and the load both read this one
// descriptor, so whatever happens to the name in between can't change what they see.

#include <cstdint>
#include <filesystem>
#include <string>

class CFile {
public:
    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens a regular file for reading. The open itself never blocks (a named pipe would wait for
    // a writer); anything that is not a regular file once open is refused and closed.
    bool OpenForReading(const std::filesystem::path& path);
    // Why the last open failed, in English: the system's reason, or what kind of file it was.
    const std::string& GetOpenError() const { return m_sOpenError; }

    bool IsOpen() const { return m_fd >= 0; }
    int GetDescriptor() const { return m_fd; }
    // The length when it was opened.
    std::uint64_t GetLength() const { return m_nLength; }

private:
    int m_fd = -1;
    std::uint64_t m_nLength = 0;
    std::string m_sOpenError;
};
