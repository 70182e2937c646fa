// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureSetSink.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/AtomicFile.h"
#include "io/SaveTarget.h"
#include "io/SignalCleanup.h"
#include "media/DescriptorDevice.h"
#include "media/FramePicture.h"

namespace fs = std::filesystem;

namespace {
// The hidden folder's name carries the process that made it, so a later export can tell one left
// by a killed process from one still being filled.
constexpr std::string_view kStagingPrefix = ".kvt-export-";

bool IsStaleStaging(int folderFd, const std::string& name)
{
    if (name.compare(0, kStagingPrefix.size(), kStagingPrefix) != 0)
        return false;
    const char* digits = name.c_str() + kStagingPrefix.size();
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(digits, name.c_str() + name.size(), pid);
    struct stat status {};
    return error == std::errc() && *end == '-' && pid > 0 &&
           ::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

bool SameFolder(int a, int b)
{
    struct stat first {}, second {};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::string ErrnoText()
{
    return std::strerror(errno);
}
}  // namespace

CPictureSetSink::CPictureSetSink(fs::path folder, CNumberedName names, const char* format)
    : m_folder(folder.empty() ? fs::path(".") : std::move(folder)), m_names(std::move(names)), m_format(format)
{
}

CPictureSetSink::~CPictureSetSink()
{
    RemoveStaging();
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

void CPictureSetSink::RemoveStaging()
{
    if (m_strStaging.empty())
        return;
    std::error_code ignored;
    fs::remove_all(m_folder / m_strStaging, ignored);
    KeepOnSignal(m_folderFd, m_strStaging);
    m_strStaging.clear();
}

void CPictureSetSink::RemoveStaleStaging() const
{
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (IsStaleStaging(m_folderFd, name))
            fs::remove_all(entry.path(), ec);
    }
}

bool CPictureSetSink::Open(int first, int last)
{
    m_folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat folder {};
    if (m_folderFd < 0 || ::fstat(m_folderFd, &folder) != 0)
        return Fail(m_folder, ErrnoText());
    for (int index = first; index <= last; ++index) {
        const fs::path target = m_folder / m_names.Fill(index);
        CSaveTarget place;
        if (!place.Resolve(target))
            return Fail(target, place.GetError());
        struct stat status {};
        if (::fstatat(place.GetFolder(), place.GetName().c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISREG(status.st_mode))
            return Fail(target, "not a file");
        if (::faccessat(place.GetFolder(), place.GetName().c_str(), W_OK, 0) != 0)
            return Fail(target, ErrnoText());
        // The pictures are renamed into place from the hidden folder beside them.
        if (status.st_dev != folder.st_dev)
            return Fail(target, "a symbolic link to another file system");
    }
    RemoveStaleStaging();
    std::string pattern = (m_folder / kStagingPrefix).string() + std::to_string(::getpid()) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return Fail(m_folder, ErrnoText());
    m_strStaging = fs::path(pattern).filename().string();
    RemoveOnSignal(m_folderFd, m_strStaging, true);
    return true;
}

bool CPictureSetSink::Write(const QImage& grey, int index)
{
    const std::string name = m_names.Fill(index);
    const fs::path target = m_folder / name;
    CAtomicFile file(m_folder / m_strStaging / name);
    if (!file.Open())
        return Fail(target, file.GetError());
    CDescriptorDevice device(file.GetDescriptor());
    std::string error;
    if (!WriteGreyPicture(device, grey, m_format, error))
        return Fail(target, device.HasFailed() ? device.GetError() : error);
    device.close();
    if (device.HasFailed())
        return Fail(target, device.GetError());
    if (!file.Commit())
        return Fail(target, file.GetError());
    m_written.push_back(name);
    m_bytesWritten += device.GetBytesWritten();
    return true;
}

bool CPictureSetSink::Finish()
{
    const int stagingFd = ::openat(m_folderFd, m_strStaging.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (stagingFd < 0)
        return Fail(m_folder / m_strStaging, ErrnoText());
    bool moved = true;
    for (const std::string& name : m_written) {
        CSaveTarget place;
        if (!place.Resolve(m_folder / name)) {
            moved = Fail(m_folder / name, place.GetError());
            break;
        }
        // Renames within one folder are made durable together, at the end.
        if (::renameat(stagingFd, name.c_str(), place.GetFolder(), place.GetName().c_str()) != 0 ||
            (!SameFolder(place.GetFolder(), m_folderFd) && ::fsync(place.GetFolder()) != 0)) {
            moved = Fail(m_folder / name, ErrnoText());
            break;
        }
    }
    ::close(stagingFd);
    RemoveStaging();
    if (moved && ::fsync(m_folderFd) != 0)
        return Fail(m_folder, ErrnoText());
    return moved;
}
