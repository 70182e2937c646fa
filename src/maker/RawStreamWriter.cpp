// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/RawStreamWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "io/Message.h"
#include "maker/MakerStrings.h"
#include "stream/KvtFormat.h"

namespace fs = std::filesystem;

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void WriteHeader(CArchive& ar, std::int32_t width, std::int32_t height, std::uint16_t frameCount)
{
    const std::uint16_t zero = 0;
    ar << kvt::kFileType << zero << zero << static_cast<std::uint32_t>(width * height) << width << height
       << frameCount << zero << zero;
}

// Copies the first width * height bytes of one raw file into the archive through `frame`. The file
// was one frame long when it was chosen, but possibly of a size entered earlier, or it may have
// changed since: a longer one gives its first frame of the size in the header; a shorter one is
// refused, since the header would claim bytes that are not there.
bool CopyFrame(const fs::path& raw, std::int32_t width, std::int32_t height, std::byte* frame, CArchive& ar)
{
    // Only a plain file: opening a named pipe would wait for a writer that may never come.
    std::error_code error;
    const bool regular = fs::is_regular_file(raw, error);
    const FilePtr file(regular ? std::fopen(raw.c_str(), "rb") : nullptr);
    if (!file) {
        ShowMessage(maker_strings::kOpenFileError,
                    raw.string() + ": " + (error ? SystemReason(error.value()) : regular ? SystemReason(errno) : "not a regular file"));
        return false;
    }
    const std::size_t frameSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t got = std::fread(frame, 1, frameSize, file.get());
    if (std::ferror(file.get())) {
        ShowMessage(std::string(maker_strings::kOpenFileError) + ": " + raw.string() + ": " + SystemReason(errno));
        return false;
    }
    if (got != frameSize) {
        ShowMessage(std::string(maker_strings::kImageSizeNotCorrect) + ": " + raw.string() + " holds " +
                    std::to_string(got) + " bytes, fewer than one " + std::to_string(width) + " x " +
                    std::to_string(height) + " frame");
        return false;
    }
    ar.Write(frame, frameSize);
    return true;
}
}  // namespace

RawFileFit CheckRawFile(const fs::path& path, std::uint64_t frameSize)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error)
        return RawFileFit::unknownSize;
    return size == frameSize ? RawFileFit::matches : RawFileFit::wrongSize;
}

bool WriteRawStream(const fs::path& target, std::int32_t width, std::int32_t height,
                    const std::vector<fs::path>& rawFiles, bool withReason)
{
    if (rawFiles.size() > kvt::kMaxFrameCount) {
        ShowMessage(maker_strings::kTooManyImages);
        return false;
    }
    const std::size_t frameSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    bool refused = false;
    std::string error;
    const std::uint64_t bytes = kvt::kHeaderSize + std::uint64_t{frameSize} * rawFiles.size();
    const bool written = WriteFileAtomically(target, [&](CArchive& ar) {
        WriteHeader(ar, width, height, static_cast<std::uint16_t>(rawFiles.size()));
        const auto frame = std::make_unique<std::byte[]>(frameSize);
        for (const fs::path& raw : rawFiles) {
            if (!CopyFrame(raw, width, height, frame.get(), ar)) {
                refused = true;
                return false;
            }
        }
        return true;
    }, bytes, &error);
    // Not created, or not all of it reached the disk: either way there is no new file.
    if (!written && !refused)
        ShowMessage(withReason ? std::string(maker_strings::kFileCreateError) + ": " + target.string() + ": " + error
                               : std::string(maker_strings::kFileCreateError));
    return written;
}
