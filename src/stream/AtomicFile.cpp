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

bool WriteFileAtomically(const std::filesystem::path& requested,
                         const std::function<bool(CArchive& ar)>& write)
{
    const std::filesystem::path target = RealTarget(requested);
    // A file the user may not write keeps its bytes, as a plain overwrite would have.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return false;
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
