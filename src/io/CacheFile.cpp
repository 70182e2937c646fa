// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/CacheFile.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/random.h>
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

// A name no other user can guess, for a file system without unnamed files.
std::string RandomName()
{
    std::array<unsigned char, 8> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        return {};
    std::string name = ".kvt-work-";
    for (const unsigned char b : bytes) {
        name += "0123456789abcdef"[b >> 4];
        name += "0123456789abcdef"[b & 15];
    }
    return name;
}

int OpenUnnamed(int dirFd)
{
    int fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        const std::string name = RandomName();
        fd = ::openat(dirFd, name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::unlinkat(dirFd, name.c_str(), 0);
        else if (errno != EEXIST)
            break;
    }
    return fd;
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
    const int fd = OpenUnnamed(dirFd);
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
