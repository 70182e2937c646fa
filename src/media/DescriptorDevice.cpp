// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/DescriptorDevice.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

CDescriptorDevice::CDescriptorDevice(int fd) : m_fd(fd)
{
    if (m_fd < 0)
        m_nErrno = EBADF;
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool CDescriptorDevice::seek(qint64 pos)
{
    if (::lseek(m_fd, pos, SEEK_SET) < 0)
        return false;
    return QIODevice::seek(pos);
}

qint64 CDescriptorDevice::size() const
{
    struct stat status {};
    return ::fstat(m_fd, &status) == 0 ? status.st_size : 0;
}

qint64 CDescriptorDevice::writeData(const char* data, qint64 count)
{
    if (m_nErrno != 0)
        return -1;
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, data + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_nErrno = n == 0 ? ENOSPC : errno;
            return -1;
        }
        done += n;
    }
    m_nBytesWritten += static_cast<std::uint64_t>(done);
    return done;
}

std::string CDescriptorDevice::GetError() const
{
    return m_nErrno == 0 ? std::string() : std::strerror(m_nErrno);
}
