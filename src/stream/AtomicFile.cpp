#include "stream/AtomicFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "stream/Archive.h"

namespace {
// --- Files that have a name before they are complete are removed when a signal ends the process.
// Only async-signal-safe calls in the handler: each slot holds a folder and a short name.

struct PendingName {
    std::atomic<int> dirFd{-1};
    char name[32] = {};
};
std::array<PendingName, 16> g_pendingNames;

void RemovePendingNames(int signal)
{
    for (PendingName& pending : g_pendingNames) {
        const int dirFd = pending.dirFd.load();
        if (dirFd >= 0)
            ::unlinkat(dirFd, pending.name, 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallSignalCleanup()
{
    static const bool installed = [] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
            struct sigaction current {};
            // A program that handles the signal itself keeps its handler.
            if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
                std::signal(signal, RemovePendingNames);
        }
        return true;
    }();
    (void)installed;
}

void RememberName(int dirFd, const std::string& name)
{
    InstallSignalCleanup();
    for (PendingName& pending : g_pendingNames) {
        if (pending.dirFd.load() >= 0)
            continue;
        std::strncpy(pending.name, name.c_str(), sizeof pending.name - 1);
        pending.dirFd.store(dirFd);
        return;
    }
}

void ForgetName(int dirFd, const std::string& name)
{
    for (PendingName& pending : g_pendingNames)
        if (pending.dirFd.load() == dirFd && name == pending.name)
            pending.dirFd.store(-1);
}

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

// The file a save replaces: through a symbolic link to the file it names, so that the link stays.
std::filesystem::path RealTarget(const std::filesystem::path& target)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec)
            return resolved;
    }
    return target;
}
}  // namespace

CAtomicFile::CAtomicFile(std::filesystem::path target) : m_target(RealTarget(target)) {}

CAtomicFile::~CAtomicFile()
{
    Discard();
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

bool CAtomicFile::Fail(const std::string& what)
{
    m_strError = what;
    if (errno != 0)
        m_strError += std::string(": ") + std::strerror(errno);
    return false;
}

bool CAtomicFile::Open()
{
    const std::string name = m_target.filename().string();
    const std::filesystem::path dir = m_target.has_parent_path() ? m_target.parent_path() : ".";
    errno = 0;
    if (name.empty() || name == "." || name == "..")
        return Fail("not a file name");
    m_dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return Fail("can't open the folder");

    struct stat status {};
    const bool exists = ::fstatat(m_dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    errno = 0;
    if (exists && !S_ISREG(status.st_mode))
        return Fail("not a regular file");
    // A file the user may not write keeps its bytes, as a plain overwrite would have.
    if (exists && ::faccessat(m_dirFd, name.c_str(), W_OK, 0) != 0)
        return Fail("can't write the file");

    // A new file gets the usual permissions; a replacement gets the old one's at Commit.
    const mode_t mode = exists ? 0600 : 0666;
    m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    m_bUnnamed = m_fd >= 0;
    for (int attempt = 0; m_fd < 0 && attempt < 16; ++attempt) {
        m_strTempName = RandomName();
        m_fd = ::openat(m_dirFd, m_strTempName.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC,
                        mode);
        if (m_fd >= 0)
            RememberName(m_dirFd, m_strTempName);
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
    const std::string name = m_target.filename().string();
    struct stat old {};
    if (::fstatat(m_dirFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        // Whatever took the target's place meanwhile is no more ours to replace than at Open.
        if (!S_ISREG(old.st_mode))
            return Fail("not a regular file");
        // Owner first: changing it clears the set-user-ID and set-group-ID bits.
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(m_fd, old.st_mode & 07777) != 0)
            return Fail("can't set the permissions");
    }
    errno = 0;
    if (::fsync(m_fd) != 0)
        return Fail("can't write to disk");
    while (m_bUnnamed) {
        const std::string temp = RandomName();
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if (::linkat(AT_FDCWD, self.c_str(), m_dirFd, temp.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(m_fd, "", m_dirFd, temp.c_str(), AT_EMPTY_PATH) == 0) {
            m_strTempName = temp;
            m_bUnnamed = false;
            RememberName(m_dirFd, m_strTempName);
        } else if (errno != EEXIST) {
            return Fail("can't name the file");
        }
    }
    return true;
}

bool CAtomicFile::Replace()
{
    errno = 0;
    const std::string name = m_target.filename().string();
    struct stat status {};
    if (::fstatat(m_dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(status.st_mode))
        return Fail("not a regular file");
    errno = 0;
    if (::renameat(m_dirFd, m_strTempName.c_str(), m_dirFd, name.c_str()) != 0)
        return Fail("can't replace the file");
    ForgetName(m_dirFd, m_strTempName);
    m_strTempName.clear();
    ::close(m_fd);
    m_fd = -1;
    if (::fsync(m_dirFd) != 0)
        return Fail("can't write the folder to disk");
    return true;
}

bool CAtomicFile::Commit()
{
    return Finish() && Replace();
}

void CAtomicFile::Discard()
{
    if (!m_strTempName.empty()) {
        ::unlinkat(m_dirFd, m_strTempName.c_str(), 0);
        ForgetName(m_dirFd, m_strTempName);
        m_strTempName.clear();
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool CommitTogether(CAtomicFile& first, CAtomicFile& second)
{
    return first.Finish() && second.Finish() && first.Replace() && second.Replace();
}

bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(CArchive& ar)>& write)
{
    CAtomicFile file(target);
    if (!file.Open())
        return false;
    bool complete = false;
    {
        CArchive ar(file.GetDescriptor(), CArchive::store);
        complete = write(ar);
        complete = ar.Close() && complete;
    }
    return complete && file.Commit();
}
