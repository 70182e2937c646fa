#include "stream/StreamFileCheck.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/Message.h"
#include "stream/KvtFormat.h"

namespace {
// Closes the file on every way out.
struct FileCloser {
    int fd;
    ~FileCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Fills `size` bytes of the value from the file; bytes missing at end of file stay 0.
template <typename T>
T ReadValue(int fd)
{
    unsigned char bytes[sizeof(T)] = {};
    std::size_t done = 0;
    while (done < sizeof(T)) {
        const ssize_t n = ::read(fd, bytes + done, sizeof(T) - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}
}  // namespace

bool CheckStreamFile(const std::filesystem::path& path)
{
    // Non-blocking, so that a named pipe can't hang the open until some program writes to it.
    FileCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat status {};
    // A folder or a pipe opens for reading on Linux but is no stream file; treat it as one that
    // can't be opened.
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ShowMessage("Create document error");
        return false;
    }

    const auto fileType = ReadValue<std::uint16_t>(file.fd);
    ReadValue<std::uint16_t>(file.fd);  // reserved 1
    ReadValue<std::uint16_t>(file.fd);  // reserved 2
    const auto frameSize = ReadValue<std::uint32_t>(file.fd);
    ReadValue<std::int32_t>(file.fd);  // width
    ReadValue<std::int32_t>(file.fd);  // height
    const auto frameCount = ReadValue<std::uint16_t>(file.fd);

    if ((fileType & 0xFF) != kvt::kMagicLow || (fileType >> 8) != kvt::kMagicHigh) {
        ShowMessage("File types error");
        return false;
    }
    const std::uint64_t expected = std::uint64_t{frameCount} * frameSize + kvt::kHeaderSize;
    if (static_cast<std::uint64_t>(status.st_size) != expected) {
        ShowMessage("File size not match");
        return false;
    }
    return true;
}
