// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/FileSet.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/Descriptor.h"
#include "io/Message.h"
#include "io/SaveTarget.h"
#include "io/SignalCleanup.h"

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kStagingPrefix = ".kvt-set-";
// In the hidden folder: the new files, hard links of the old files they replace and of the new
// files once they are about to be placed, and the mark that every new file is in place.
constexpr const char* kNew = "new";
constexpr const char* kOld = "old";
constexpr const char* kPlaced = "placed";
constexpr const char* kDone = "done";

std::string ErrnoText()
{
    return std::strerror(errno);
}

int OpenFolderAt(int dirFd, const char* name)
{
    return ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool Exists(int dirFd, const std::string& name, struct stat& status)
{
    return ::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

std::vector<std::string> NamesIn(int dirFd)
{
    std::vector<std::string> names;
    DIR* dir = ::fdopendir(::dup(dirFd));
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

// Undoes the renames a set's hidden folder records, unless it marks them all done: each target
// that holds its new file gets its old one back, or goes when it had none. Returns the names
// whose old file could not be put back.
std::vector<std::string> PutOldFilesBack(const fs::path& folder, int stagingFd)
{
    struct stat status {};
    const CDescriptor placed(OpenFolderAt(stagingFd, kPlaced));
    if (Exists(stagingFd, kDone, status) || placed.Get() < 0)
        return {};
    const CDescriptor old(OpenFolderAt(stagingFd, kOld));
    std::vector<std::string> failed;
    for (const std::string& name : NamesIn(placed.Get())) {
        struct stat placedFile {}, target {}, oldFile {};
        CSaveTarget place;
        if (!Exists(placed.Get(), name, placedFile))
            continue;
        if (!place.Resolve(folder / name)) {
            failed.push_back(name);
            continue;
        }
        if (!Exists(place.GetFolder(), place.GetName(), target) || target.st_dev != placedFile.st_dev || target.st_ino != placedFile.st_ino)
            continue;  // the old file is still in place
        const bool hadOld = old.Get() >= 0 && Exists(old.Get(), name, oldFile);
        const bool putBack = hadOld ? ::renameat(old.Get(), name.c_str(), place.GetFolder(), place.GetName().c_str()) == 0
                                    : ::unlinkat(place.GetFolder(), place.GetName().c_str(), 0) == 0;
        if (!putBack || ::fsync(place.GetFolder()) != 0)
            failed.push_back(name);
    }
    return failed;
}

// Removes a set's hidden folder, its mark of a finished set last: a run killed meanwhile leaves
// nothing that says to undo what was done.
void RemoveStaging(const fs::path& folder, const std::string& name)
{
    const fs::path staging = folder / name;
    std::error_code ignored;
    for (const char* part : {kOld, kPlaced, kNew})
        fs::remove_all(staging / part, ignored);
    fs::remove_all(staging, ignored);
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}
}  // namespace

CFileSet::CFileSet(fs::path folder) : m_folder(std::move(folder)) {}

CFileSet::~CFileSet()
{
    Abandon();
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool CFileSet::Fail(const fs::path& path, const std::string& why)
{
    m_errorPath = path;
    m_strError = why;
    return false;
}

fs::path CFileSet::FolderName() const
{
    return m_folder.empty() ? fs::path(".") : m_folder;
}

bool CFileSet::Open()
{
    m_folderFd = ::open(FolderName().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        return Fail(FolderName(), "can't open the folder: " + ErrnoText());
    if (!Lock())
        return false;
    PutRightLeftovers();
    std::string pattern = (m_folder / kStagingPrefix).string() + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return Fail(FolderName(), "can't create a folder in it: " + ErrnoText());
    m_strStaging = fs::path(pattern).filename().string();
    RemoveOnSignal(m_folderFd, m_strStaging, true);
    m_stagingFd = OpenFolderAt(m_folderFd, m_strStaging.c_str());
    if (m_stagingFd < 0 || ::mkdirat(m_stagingFd, kNew, 0700) != 0)
        return Fail(m_folder / m_strStaging, ErrnoText());
    return true;
}

bool CFileSet::Lock()
{
    if (::flock(m_folderFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno == EWOULDBLOCK) {
        ShowMessage(FolderName().string() + ": another run is writing files into this folder; waiting for it to finish");
        int locked;
        while ((locked = ::flock(m_folderFd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked == 0)
            return true;
    }
    return Fail(FolderName(), "can't lock the folder: " + ErrnoText());
}

void CFileSet::PutRightLeftovers()
{
    // Holding the lock, every hidden folder of a set here is one a killed run left.
    for (const std::string& name : NamesIn(m_folderFd)) {
        struct stat status {};
        if (name.compare(0, kStagingPrefix.size(), kStagingPrefix) != 0)
            continue;
        const CDescriptor staging(OpenFolderAt(m_folderFd, name.c_str()));
        if (staging.Get() < 0 || ::fstat(staging.Get(), &status) != 0 || status.st_uid != ::geteuid())
            continue;
        const std::vector<std::string> failed = PutOldFilesBack(m_folder, staging.Get());
        if (failed.empty())
            RemoveStaging(m_folder, name);
        else
            ShowMessage((m_folder / name).string() + ": left by a run that was stopped; the old files of " +
                        JoinNames(failed) + " could not be put back and stay in it");
    }
}

fs::path CFileSet::Add(const std::string& name)
{
    const fs::path target = m_folder / name;
    CSaveTarget place;
    if (!place.Resolve(target)) {
        Fail(target, place.GetError());
        return {};
    }
    struct stat existing {}, folder {};
    if (Exists(place.GetFolder(), place.GetName(), existing)) {
        bool refused = true;
        if (!place.MayReplace(existing))
            Fail(target, place.GetError());
        else if (::faccessat(place.GetFolder(), place.GetName().c_str(), W_OK, 0) != 0)
            Fail(target, "can't write the file: " + ErrnoText());
        // The files are renamed into place from the hidden folder beside them.
        else if (::fstat(m_folderFd, &folder) != 0 || folder.st_dev != existing.st_dev)
            Fail(target, "a symbolic link to another file system");
        else
            refused = false;
        if (refused)
            return {};
    }
    m_names.push_back(name);
    return m_folder / m_strStaging / kNew / name;
}

bool CFileSet::KeepOldFiles()
{
    const CDescriptor added(OpenFolderAt(m_stagingFd, kNew));
    if (::mkdirat(m_stagingFd, kOld, 0700) != 0 || ::mkdirat(m_stagingFd, kPlaced, 0700) != 0)
        return Fail(m_folder / m_strStaging, ErrnoText());
    const CDescriptor old(OpenFolderAt(m_stagingFd, kOld)), placed(OpenFolderAt(m_stagingFd, kPlaced));
    if (added.Get() < 0 || old.Get() < 0 || placed.Get() < 0)
        return Fail(m_folder / m_strStaging, ErrnoText());
    for (const std::string& name : m_names) {
        const fs::path target = m_folder / name;
        CSaveTarget place;
        if (!place.Resolve(target))
            return Fail(target, place.GetError());
        struct stat existing {}, written {};
        if (!Exists(added.Get(), name, written))
            return Fail(target, "not written");
        const char* file = name.c_str();
        if (Exists(place.GetFolder(), place.GetName(), existing)) {
            if (!place.MayReplace(existing))
                return Fail(target, place.GetError());
            // The new file takes over the old one's owner and permissions, as a single save does.
            if (::fchownat(added.Get(), file, existing.st_uid, existing.st_gid, AT_SYMLINK_NOFOLLOW) != 0)
                (void)::fchownat(added.Get(), file, static_cast<uid_t>(-1), existing.st_gid, AT_SYMLINK_NOFOLLOW);
            if (::fchmodat(added.Get(), file, ReplacementMode(existing), 0) != 0)
                return Fail(target, "can't set the permissions: " + ErrnoText());
            if (::linkat(place.GetFolder(), place.GetName().c_str(), old.Get(), file, 0) != 0)
                return Fail(target, "can't keep the old file until the set is replaced: " + ErrnoText());
        }
        if (::linkat(added.Get(), file, placed.Get(), file, 0) != 0)
            return Fail(target, ErrnoText());
    }
    if (::fsync(old.Get()) != 0 || ::fsync(placed.Get()) != 0)
        return Fail(m_folder / m_strStaging, "can't write the folder to disk: " + ErrnoText());
    return true;
}

bool CFileSet::RenameIntoPlace()
{
    const CDescriptor added(OpenFolderAt(m_stagingFd, kNew));
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        const fs::path target = m_folder / m_names[i];
        CSaveTarget place;
        if (!place.Resolve(target))
            return Fail(target, place.GetError());
        struct stat existing {};
        if (Exists(place.GetFolder(), place.GetName(), existing) && !place.MayReplace(existing))
            return Fail(target, place.GetError());
        errno = 0;
        if ((m_renameHook && !m_renameHook(i)) ||
            ::renameat(added.Get(), m_names[i].c_str(), place.GetFolder(), place.GetName().c_str()) != 0)
            return Fail(target, "can't replace the file: " + ErrnoText());
        struct stat folder {}, reached {};
        if (::fstat(m_folderFd, &folder) == 0 && ::fstat(place.GetFolder(), &reached) == 0 &&
            folder.st_ino != reached.st_ino && ::fsync(place.GetFolder()) != 0)
            return Fail(target, "can't write the folder to disk: " + ErrnoText());
    }
    if (::fsync(m_folderFd) != 0)
        return Fail(FolderName(), "can't write the folder to disk: " + ErrnoText());
    const CDescriptor done(::openat(m_stagingFd, kDone, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
    if (done.Get() < 0 || ::fsync(m_stagingFd) != 0)
        return Fail(m_folder / m_strStaging, "can't write the folder to disk: " + ErrnoText());
    return true;
}

bool CFileSet::Commit()
{
    if (m_stagingFd < 0)
        return Fail(FolderName(), "not open");
    // A signal that comes now ends the process once the set is whole again.
    const CSignalsHeld held;
    if (KeepOldFiles() && RenameIntoPlace()) {
        Abandon();
        return true;
    }
    const std::vector<std::string> failed = PutOldFilesBack(m_folder, m_stagingFd);
    if (failed.empty()) {
        m_strError += "; no file of the set was replaced";
        Abandon();
        return false;
    }
    // The old files stay where they are kept, for whoever puts the set right.
    m_strError += "; the set is not whole: " + JoinNames(failed) + " hold the new files and the others the old ones; " +
                  "the old files of the new ones are kept in " + (m_folder / m_strStaging / kOld).string();
    KeepOnSignal(m_folderFd, m_strStaging);
    ::close(m_stagingFd);
    m_stagingFd = -1;
    m_strStaging.clear();
    return false;
}

void CFileSet::Abandon()
{
    if (m_strStaging.empty())
        return;
    KeepOnSignal(m_folderFd, m_strStaging);
    RemoveStaging(m_folder, m_strStaging);
    m_strStaging.clear();
    if (m_stagingFd >= 0)
        ::close(m_stagingFd);
    m_stagingFd = -1;
}
