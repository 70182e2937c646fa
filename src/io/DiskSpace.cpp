// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/DiskSpace.h"

#include <cstdio>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {
std::map<dev_t, std::uint64_t>& HeldBytes()
{
    static std::map<dev_t, std::uint64_t> held;
    return held;
}
}  // namespace

std::string FormatBytes(std::uint64_t bytes)
{
    static constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1000)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    double value = static_cast<double>(bytes);
    int unit = -1;
    while (value >= 999.5 && unit < 5) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 9.95 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

bool CDiskReservation::Reserve(int dirFd, std::uint64_t bytes)
{
    Release();
    struct stat folder {};
    struct statvfs space {};
    if (::fstat(dirFd, &folder) != 0 || ::fstatvfs(dirFd, &space) != 0)
        return true;  // nothing to go by: the writes themselves will tell
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && bytes > limit.rlim_cur) {
        m_strError = "needs " + FormatBytes(bytes) + ", the file-size limit is " + FormatBytes(limit.rlim_cur);
        return false;
    }
    const std::uint64_t available = std::uint64_t{space.f_bavail} * space.f_frsize;
    std::uint64_t& held = HeldBytes()[folder.st_dev];
    const std::uint64_t free = available > held ? available - held : 0;
    if (bytes > free) {
        m_strError = "needs " + FormatBytes(bytes) + ", " + FormatBytes(free) + " free";
        return false;
    }
    held += bytes;
    m_device = folder.st_dev;
    m_nBytes = bytes;
    return true;
}

void CDiskReservation::Release()
{
    if (m_nBytes == 0)
        return;
    HeldBytes()[m_device] -= m_nBytes;
    m_nBytes = 0;
}
