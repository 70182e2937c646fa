#include "stream/AtomicFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "stream/Archive.h"

namespace {
std::filesystem::path TemporaryBeside(const std::filesystem::path& target)
{
    std::filesystem::path temp = target;
    temp += ".tmp-" + std::to_string(::getpid());
    return temp;
}

// A replaced file keeps the permissions the old one had.
void CopyPermissions(const std::filesystem::path& from, const std::filesystem::path& to)
{
    struct stat status {};
    if (::stat(from.c_str(), &status) == 0)
        ::chmod(to.c_str(), status.st_mode & 07777);
}

bool SyncToDisk(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(CArchive& ar)>& write)
{
    const std::filesystem::path temp = TemporaryBeside(target);
    bool complete = false;
    {
        CArchive ar(temp, CArchive::store);
        if (ar.IsOpen()) {
            complete = write(ar);
            complete = ar.Close() && complete;
        }
    }
    if (complete) {
        CopyPermissions(target, temp);
        complete = SyncToDisk(temp) && std::rename(temp.c_str(), target.c_str()) == 0;
    }
    if (!complete)
        std::remove(temp.c_str());
    return complete;
}
