// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/Message.h"

CFile::~CFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CFile::OpenForReading(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    const bool opened = fd >= 0 && ::fstat(fd, &status) == 0;
    if (!opened || !S_ISREG(status.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
        m_sOpenError = !opened || S_ISREG(status.st_mode) ? SystemReason(errno)
                       : S_ISDIR(status.st_mode)          ? SystemReason(EISDIR)
                                                          : "not a regular file (a device, a pipe or a socket)";
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_sOpenError.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_nLength = static_cast<std::uint64_t>(status.st_size);
    return true;
}
