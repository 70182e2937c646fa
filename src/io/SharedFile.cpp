// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/SharedFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

#include "io/WholeTransfer.h"

namespace {
// The path a descriptor was opened from, as the kernel still knows it.
std::string PathOf(int fd)
{
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : link;
}
}  // namespace

std::shared_ptr<CSharedFile> CSharedFile::Duplicate(int fd, std::uint64_t length)
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return nullptr;
    return std::make_shared<CSharedFile>(own, PathOf(own), length);
}

CSharedFile::CSharedFile(int fd, std::string name, std::uint64_t length)
    : m_fd(fd), m_strName(std::move(name)), m_nLength(length)
{
}

std::ptrdiff_t CSharedFile::ReadAt(void* data, std::size_t count, std::uint64_t offset) const
{
    auto* out = static_cast<char*>(data);
    return TransferWhole(count, [&](std::size_t done) {
        return ::pread(m_fd.Get(), out + done, count - done, static_cast<off_t>(offset + done));
    });
}

bool CSharedFile::WriteAt(const void* data, std::size_t count, std::uint64_t offset)
{
    const auto* in = static_cast<const char*>(data);
    const bool written = WroteWhole(TransferWhole(count, [&](std::size_t done) {
                                        return ::pwrite(m_fd.Get(), in + done, count - done, static_cast<off_t>(offset + done));
                                    }),
                                    count);
    if (written && offset + count > m_nLength)
        m_nLength = offset + count;
    return written;
}

void CSharedFile::Prefetch(std::uint64_t offset, std::uint64_t count) const
{
    (void)::posix_fadvise(m_fd.Get(), static_cast<off_t>(offset), static_cast<off_t>(count), POSIX_FADV_WILLNEED);
}
