// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a .kvt file: the open-time test, then the load as the player does it, then,
// for a file both accept as well formed, a store that must give back the very same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "io/Archive.h"
#include "io/File.h"
#include "io/Message.h"
#include "stream/ImageStream.h"
#include "stream/KvtFormat.h"
#include "stream/StreamFileCheck.h"

namespace {
// A header may ask for gigabytes of (black) frames from a few bytes; the load's own limit is the
// memory the process can get, more than a fuzzing run can spend per input. Frames and rows are
// bounded too: thousands of tiny frames or rows cost a loop each without finding anything new.
constexpr std::uint64_t kFrameBudget = 1u << 18;
constexpr std::uint16_t kFrameLimit = 64;
constexpr std::int32_t kRowLimit = 1024;

template <typename T>
T ValueAt(const std::uint8_t* data, std::size_t size, std::size_t offset)
{
    T value{};
    if (offset + sizeof value <= size)
        std::memcpy(&value, data + offset, sizeof value);
    return value;
}

bool WithinBudget(const std::uint8_t* data, std::size_t size)
{
    const auto width = ValueAt<std::int32_t>(data, size, 10);
    const auto height = ValueAt<std::int32_t>(data, size, 14);
    const auto frames = ValueAt<std::uint16_t>(data, size, 18);
    if (width < 0 || height < 0)
        return true;  // refused before any allocation
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) + 3) / 4 * 4;
    const std::uint64_t frame = stride * static_cast<std::uint64_t>(height);
    return frame <= kFrameBudget && frame * (frames + 1) <= kFrameBudget && frames <= kFrameLimit &&
           height <= kRowLimit;
}

// An in-memory file with a path that open() accepts.
class MemoryFile {
public:
    MemoryFile() : m_fd(::memfd_create("kvt-fuzz", MFD_CLOEXEC)) {}
    ~MemoryFile() { ::close(m_fd); }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }
    void Write(const std::uint8_t* data, std::size_t size) const
    {
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0)
                std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    std::vector<std::uint8_t> Read() const
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(::lseek(m_fd, 0, SEEK_END)));
        if (::pread(m_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            std::abort();
        return bytes;
    }

private:
    int m_fd;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const MessageHook silence = SetMessageHook([](const std::string&) {});
    const MemoryFile in;
    in.Write(data, size);
    CFile file;
    const bool passed = CheckStreamFile(in.Path(), file);
    if (!file.IsOpen() || !WithinBudget(data, size))
        return 0;

    CImageStream stream;
    bool loaded = false;
    try {
        CArchive ar(file.GetDescriptor(), CArchive::load);
        loaded = stream.Load(ar);
    } catch (const CArchiveException&) {
        return 0;  // a header shorter than 24 bytes: the open fails
    }
    if (!loaded || !passed)
        return 0;

    // Checked and loaded, with frame size = width x height: the file comes back unchanged.
    const bool wellFormed = stream.GetHeader().IsStorable();
    const MemoryFile out;
    bool stored = false;
    {
        CArchive ar(out.Path(), CArchive::store);
        stored = stream.Store(ar);
        stored = ar.Close() && stored;
    }
    if (wellFormed && stream.HasFrames() &&
        (!stored || out.Read() != std::vector<std::uint8_t>(data, data + size)))
        std::abort();
    return 0;
}
