#include "media/FrameSource.h"

#include <QImageReader>
#include <QString>

#include "media/PictureSource.h"
#include "media/VideoSource.h"

void CFrameSource::Fail(const std::filesystem::path& path, const std::string& reason, std::uint64_t frameNumber)
{
    m_error = path.string() + ": " + (frameNumber > 1 ? "frame " + std::to_string(frameNumber) + ": " : "") + reason;
}

namespace {
// Only plain files: opening a named pipe would wait for a writer that may never come.
std::optional<std::string> RefuseInputFile(const std::filesystem::path& path)
{
    std::error_code status;
    if (std::filesystem::is_regular_file(path, status))
        return std::nullopt;
    return path.string() + ": " + (status ? status.message() : "not a regular file");
}
}  // namespace

std::unique_ptr<CFrameSource> OpenFrameSource(const std::vector<std::filesystem::path>& inputs,
                                              const VideoRange& range, std::string& error)
{
    for (const std::filesystem::path& input : inputs) {
        if (auto refusal = RefuseInputFile(input)) {
            error = *refusal;
            return nullptr;
        }
    }
    // A picture is whatever Qt's readers recognise; anything else is left to FFmpeg.
    std::unique_ptr<CFrameSource> source;
    bool opened = false;
    if (QImageReader(QString::fromStdString(inputs.front().string())).canRead()) {
        auto pictures = std::make_unique<CPictureSource>();
        opened = pictures->Open(inputs);
        source = std::move(pictures);
    } else if (inputs.size() > 1) {
        error = inputs.front().string() + ": " + kNotAPicture;
        return nullptr;
    } else {
        auto video = std::make_unique<CVideoSource>();
        opened = video->Open(inputs.front(), range);
        source = std::move(video);
    }
    if (!opened) {
        error = source->GetError();
        return nullptr;
    }
    return source;
}
