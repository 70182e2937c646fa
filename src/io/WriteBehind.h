// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A long file pushed to disk as it grows and let go of from the page cache once it is there, so
// that writing gigabytes keeps reusing a few megabytes of cache instead of claiming fresh memory
// for every page, and the closing fsync finds little left to do. Only a hint to the kernel: the
// bytes and their durability are the same with or without it, and fsync still says whether they
// reached the disk.

#include <cstdint>

class CWriteBehind {
public:
    explicit CWriteBehind(int fd) : m_fd(fd) {}

    // The file has `bytes` written from its start: starts writing whole chunks out and drops those
    // written out well behind.
    void Advance(std::uint64_t bytes);

private:
    int m_fd;
    std::uint64_t m_nStarted = 0;  // bytes whose writing out has been started
    std::uint64_t m_nDropped = 0;  // bytes on disk and out of the cache
};
