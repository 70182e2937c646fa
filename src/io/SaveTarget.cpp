// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/SaveTarget.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/Descriptor.h"

namespace {
// The kernel's rule for following a link, or opening a file to write, found in a folder.
bool IsOwnOrFolderOwners(const struct stat& folder, const struct stat& entry)
{
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || entry.st_uid == ::geteuid() || entry.st_uid == folder.st_uid;
}

// The process's umask, read without changing it (umask() would, for every thread at once).
mode_t CurrentUmask()
{
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr)
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    return S_IWGRP | S_IWOTH;
}
}  // namespace

mode_t ReplacementMode(const struct stat& existing)
{
    return existing.st_mode & 07777 & ~(CurrentUmask() & (S_IWGRP | S_IWOTH));
}

CSaveTarget::~CSaveTarget()
{
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

bool CSaveTarget::Fail(const std::string& what)
{
    m_strError = what;
    if (errno != 0)
        m_strError += std::string(": ") + std::strerror(errno);
    return false;
}

bool CSaveTarget::Resolve(const std::filesystem::path& target)
{
    m_name = target.filename().string();
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : ".";
    errno = 0;
    if (m_name.empty() || m_name == "." || m_name == "..")
        return Fail("not a file name");
    m_dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return Fail("can't open the folder");
    struct stat status {};
    if (::fstatat(m_dirFd, m_name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(status.st_mode))
        return true;
    return FollowLink(status);
}

bool CSaveTarget::MayReplace(const struct stat& existing)
{
    errno = 0;
    if (!S_ISREG(existing.st_mode))
        return Fail("not a regular file");
    struct stat folder {};
    if (::fstat(m_dirFd, &folder) != 0)
        return Fail("can't open the folder");
    if (!IsOwnOrFolderOwners(folder, existing))
        return Fail("a file of another user in a shared folder, not replaced");
    return true;
}

bool CSaveTarget::FollowLink(const struct stat& link)
{
    struct stat folder {};
    errno = 0;
    if (::fstat(m_dirFd, &folder) != 0)
        return Fail("can't open the folder");
    if (!IsOwnOrFolderOwners(folder, link)) {
        errno = 0;
        return Fail("a symbolic link of another user in a shared folder, not followed");
    }
    const CDescriptor file(::openat(m_dirFd, m_name.c_str(), O_PATH | O_CLOEXEC));
    struct stat reached {};
    if (file.Get() < 0 || ::fstat(file.Get(), &reached) != 0)
        return Fail("can't follow the symbolic link");

    // The folder is found by the name the kernel gives the file, then checked to hold that file.
    char real[PATH_MAX + 1] = {};
    const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
    const ssize_t length = ::readlink(self.c_str(), real, PATH_MAX);
    if (length <= 0)
        return Fail("can't follow the symbolic link");
    const std::filesystem::path path(std::string(real, static_cast<std::size_t>(length)));
    CDescriptor parent(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat found {};
    const std::string name = path.filename().string();
    if (parent.Get() < 0 || ::fstatat(parent.Get(), name.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0 ||
        found.st_dev != reached.st_dev || found.st_ino != reached.st_ino) {
        errno = 0;
        return Fail("the file the symbolic link leads to moved");
    }
    ::close(m_dirFd);
    m_dirFd = parent.Release();
    m_name = name;
    return true;
}
