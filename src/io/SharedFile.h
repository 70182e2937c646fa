// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One open file read (and, for a file of our own, written) at given offsets by everything that
// refers to it: a stream whose frames are read on demand, and the copies and stackings made of it.
// Reads never move a shared offset, so its readers don't disturb each other, and the descriptor
// stays open as long as any of them holds it. There is no memory map: a file that shrinks while it
// is open only makes reads come up short.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "io/Descriptor.h"

class CSharedFile {
public:
    // A descriptor of its own for the file open on `fd`, named after the path it was opened from;
    // `length` is the file's length as the caller found it. Null when no descriptor is left.
    static std::shared_ptr<CSharedFile> Duplicate(int fd, std::uint64_t length);
    // Takes `fd` over; `name` stands for the file in messages.
    CSharedFile(int fd, std::string name, std::uint64_t length);
    CSharedFile(const CSharedFile&) = delete;
    CSharedFile& operator=(const CSharedFile&) = delete;

    // Reads up to `count` bytes at `offset`: how many it read (fewer only at the file's end), or
    // -1 with errno set.
    std::ptrdiff_t ReadAt(void* data, std::size_t count, std::uint64_t offset) const;
    // Writes all `count` bytes at `offset`; false with errno set. The length grows to cover them.
    bool WriteAt(const void* data, std::size_t count, std::uint64_t offset);

    // Asks the kernel to start reading the bytes at [offset, offset + count) into the page cache,
    // so that the reads that come for them find them there. Only a hint.
    void Prefetch(std::uint64_t offset, std::uint64_t count) const;

    int GetDescriptor() const { return m_fd.Get(); }
    const std::string& GetName() const { return m_strName; }
    // The length when it was opened, or as far as it was written since.
    std::uint64_t GetLength() const { return m_nLength; }

private:
    CDescriptor m_fd;
    std::string m_strName;
    std::uint64_t m_nLength;
};
