// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/AtomicFile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "io/Archive.h"
#include "io/SignalCleanup.h"

namespace {
// A name no other user can guess: short, so that a target of the longest name still saves.
std::string RandomName()
{
    std::array<unsigned char, 8> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        return {};
    std::string name = ".kvt-";
    for (const unsigned char b : bytes) {
        name += "0123456789abcdef"[b >> 4];
        name += "0123456789abcdef"[b & 15];
    }
    return name;
}

}  // namespace

CAtomicFile::CAtomicFile(std::filesystem::path target) : m_target(std::move(target)) {}

CAtomicFile::~CAtomicFile()
{
    Discard();
}

bool CAtomicFile::Fail(const std::string& what)
{
    m_strError = what;
    if (errno != 0)
        m_strError += std::string(": ") + std::strerror(errno);
    return false;
}

bool CAtomicFile::Open(std::uint64_t bytesToWrite)
{
    if (!m_place.Resolve(m_target)) {
        m_strError = m_place.GetError();
        return false;
    }
    const int dirFd = m_place.GetFolder();
    const std::string& name = m_place.GetName();

    struct stat status {};
    const bool exists = ::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !m_place.MayReplace(status)) {
        m_strError = m_place.GetError();
        return false;
    }
    errno = 0;
    // A file the user may not write keeps its bytes, as a plain overwrite would have.
    if (exists && ::faccessat(dirFd, name.c_str(), W_OK, 0) != 0)
        return Fail("can't write the file");
    if (!m_room.Reserve(dirFd, bytesToWrite)) {
        errno = 0;
        return Fail(m_room.GetError());
    }

    // A new file gets the usual permissions; a replacement gets the old one's at Commit.
    const mode_t mode = exists ? 0600 : 0666;
    m_fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    m_bUnnamed = m_fd >= 0;
    for (int attempt = 0; m_fd < 0 && attempt < 16; ++attempt) {
        m_strTempName = RandomName();
        m_fd = ::openat(dirFd, m_strTempName.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC,
                        mode);
        if (m_fd >= 0)
            RemoveOnSignal(dirFd, m_strTempName);
        else if (errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_strTempName.clear();
        return Fail("can't create a file in the folder");
    }
    return true;
}

bool CAtomicFile::Finish()
{
    errno = 0;
    if (m_fd < 0)
        return Fail("not open");
    const int dirFd = m_place.GetFolder();
    const std::string& name = m_place.GetName();
    struct stat old {};
    if (::fstatat(dirFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        // Whatever took the target's place meanwhile is no more ours to replace than at Open.
        if (!m_place.MayReplace(old)) {
            m_strError = m_place.GetError();
            return false;
        }
        // Owner first: changing it clears the set-user-ID and set-group-ID bits.
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(m_fd, ReplacementMode(old)) != 0)
            return Fail("can't set the permissions");
    }
    errno = 0;
    if (::fsync(m_fd) != 0)
        return Fail("can't write to disk");
    while (m_bUnnamed) {
        const std::string temp = RandomName();
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if (::linkat(AT_FDCWD, self.c_str(), dirFd, temp.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(m_fd, "", dirFd, temp.c_str(), AT_EMPTY_PATH) == 0) {
            m_strTempName = temp;
            m_bUnnamed = false;
            RemoveOnSignal(dirFd, m_strTempName);
        } else if (errno != EEXIST) {
            return Fail("can't name the file");
        }
    }
    return true;
}

bool CAtomicFile::Replace()
{
    errno = 0;
    const int dirFd = m_place.GetFolder();
    const std::string& name = m_place.GetName();
    struct stat status {};
    if (::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && !m_place.MayReplace(status)) {
        m_strError = m_place.GetError();
        return false;
    }
    errno = 0;
    if (::renameat(dirFd, m_strTempName.c_str(), dirFd, name.c_str()) != 0)
        return Fail("can't replace the file");
    KeepOnSignal(dirFd, m_strTempName);
    m_strTempName.clear();
    ::close(m_fd);
    m_fd = -1;
    m_room.Release();
    if (::fsync(dirFd) != 0)
        return Fail("can't write the folder to disk");
    return true;
}

bool CAtomicFile::Commit()
{
    return Finish() && Replace();
}

void CAtomicFile::Discard()
{
    const int dirFd = m_place.GetFolder();
    if (!m_strTempName.empty()) {
        ::unlinkat(dirFd, m_strTempName.c_str(), 0);
        KeepOnSignal(dirFd, m_strTempName);
        m_strTempName.clear();
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_room.Release();
}

bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(CArchive& ar)>& write, std::uint64_t bytes,
                         std::string* error)
{
    CAtomicFile file(target);
    const auto fail = [&](const std::string& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    if (!file.Open(bytes))
        return fail(file.GetError());
    CArchive ar(file.GetDescriptor(), CArchive::store);
    if (!write(ar))
        return fail("not written");
    if (!ar.Close())
        return fail(std::strerror(ar.GetWriteError()));
    return file.Commit() || fail(file.GetError());
}
