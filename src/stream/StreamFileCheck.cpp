// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/StreamFileCheck.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>

#include "io/File.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "stream/KvtFormat.h"
#include "stream/StreamMessages.h"

namespace {
// The header's bytes, read without moving the file's offset; bytes missing at end of file stay 0.
template <typename T>
T ValueAt(int fd, off_t offset)
{
    unsigned char bytes[sizeof(T)] = {};
    std::size_t done = 0;
    while (done < sizeof(T)) {
        const ssize_t n = ::pread(fd, bytes + done, sizeof(T) - done, offset + static_cast<off_t>(done));
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}
}  // namespace

bool CheckStreamFile(const std::filesystem::path& path, CFile& file)
{
    // A folder, a pipe or a device is no stream file: treat it as one that can't be opened.
    if (!file.OpenForReading(path)) {
        ShowMessage("Create document error", path.string() + ": " + file.GetOpenError());
        return false;
    }
    const int fd = file.GetDescriptor();
    const auto fileType = ValueAt<std::uint16_t>(fd, 0);
    const auto frameSize = ValueAt<std::uint32_t>(fd, 6);
    const auto frameCount = ValueAt<std::uint16_t>(fd, 18);

    if (!kvt::IsKvtFileType(fileType)) {
        ShowMessage("File types error", path.string() + ": it does not begin with \"KV\"");
        return false;
    }
    const std::uint64_t expected = std::uint64_t{frameCount} * frameSize + kvt::kHeaderSize;
    if (file.GetLength() != expected) {
        ShowMessage("File size not match",
                    path.string() + ": the file holds " + std::to_string(file.GetLength()) + " bytes, where the header's " +
                        std::to_string(frameCount) + " frames of " + std::to_string(frameSize) +
                        " bytes after it make " + std::to_string(expected));
        return false;
    }
    return true;
}

bool CheckFrameGeometry(const KvtHeader& header, std::uint64_t framesInMemory)
{
    if (header.width < 0 || header.height < 0) {
        ShowMessage("Image size error: Width and height can't be negative");
        return false;
    }
    // The frames held at once must fit in the memory the process can get; refuse before the first
    // buffer is allocated.
    const unsigned long long stride = (static_cast<unsigned long long>(header.width) + 3) / 4 * 4;
    const unsigned long long frame = stride * static_cast<unsigned long long>(header.height);
    if (stride > INT_MAX || !MemoryAvailableFor(framesInMemory, frame)) {
        ShowMessage(kNotEnoughMemory, std::to_string(framesInMemory) + " frames of " + std::to_string(header.width) +
                                          " x " + std::to_string(header.height) + " at once");
        return false;
    }
    // Pictures are placed and drawn with int coordinates, twice as wide and high for shadows.
    if (header.width > kvt::kMaxSide || header.height > kvt::kMaxSide) {
        ShowMessage("Image size error: Width and height can't be more than 65536");
        return false;
    }
    return true;
}
