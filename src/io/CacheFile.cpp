// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/CacheFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include "io/DiskSpace.h"
#include "io/SharedFile.h"

namespace {
std::filesystem::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return std::filesystem::temp_directory_path();
}

// Where the file system has no unnamed files, a file of a random name, made exclusively in the
// user's own folder and removed at once.
int OpenUnnamed(int dirFd, const std::filesystem::path& folder)
{
    const int fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string name = (folder / ".kvt-work-XXXXXX").string();
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.c_str());
    return named;
}

// Holds the room on disk, so that a full disk refuses the work before it starts rather than at
// its end. A file system that can't allocate ahead is left to say so when written.
bool HoldRoom(int dirFd, int fd, std::uint64_t bytes, std::string& why)
{
    CDiskReservation room;
    if (!room.Reserve(dirFd, bytes)) {
        why = room.GetError();
        return false;
    }
    if (bytes == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0 || errno == EOPNOTSUPP)
        return true;
    why = std::strerror(errno);
    return false;
}
}  // namespace

std::filesystem::path CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path base = cache != nullptr && *cache == '/' ? cache : HomeFolder() / ".cache";
    return base / "kvtplayer";
}

std::shared_ptr<CSharedFile> CreateUnnamedCacheFile(std::uint64_t bytes, std::string& error)
{
    const std::filesystem::path folder = CacheFolder();
    std::error_code ec;
    if (std::filesystem::create_directories(folder, ec))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        error = folder.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    const int fd = OpenUnnamed(dirFd, folder);
    std::string why = fd < 0 ? std::strerror(errno) : "";
    const bool ready = fd >= 0 && HoldRoom(dirFd, fd, bytes, why);
    ::close(dirFd);
    if (!ready) {
        if (fd >= 0)
            ::close(fd);
        error = folder.string() + ": " + why;
        return nullptr;
    }
    return std::make_shared<CSharedFile>(fd, folder.string(), 0);
}
