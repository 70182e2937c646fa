// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stream file that the file benchmarks open, named by KVT_BENCH_FILE, and what they read of
// the process: its resident memory now and at its peak. Make the file with kvt (kvt import of a
// clip, or kvt shadows of a long secret); the benchmarks skip themselves without it.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

inline const char* BenchStreamFile()
{
    const char* path = std::getenv("KVT_BENCH_FILE");
    return path != nullptr && *path != '\0' ? path : nullptr;
}

// Drops the file's pages from the page cache, so that the next open reads it from the disk.
inline void DropFromPageCache(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Reads the whole file once, so that the next open finds it in the page cache.
inline void WarmPageCache(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    std::vector<char> buffer(std::size_t{8} << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

// A field of /proc/self/status in MiB: "VmRSS" now, "VmHWM" at the peak.
inline double ProcessMemoryMiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::strtod(line.c_str() + field.size() + 1, nullptr) / 1024.0;
    return 0;
}
