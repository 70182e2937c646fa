// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameSource.h"

#include <QImageReader>
#include <QString>

#include "media/PictureSource.h"
#include "media/ReadAheadSource.h"
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

// A file named as a picture that Qt can't read is a damaged or misnamed picture, not a video.
std::optional<std::string> RefuseMisnamedPicture(const std::filesystem::path& path)
{
    const QByteArray suffix = QByteArray::fromStdString(path.extension().string()).mid(1).toLower();
    if (suffix.isEmpty() || !QImageReader::supportedImageFormats().contains(suffix))
        return std::nullopt;
    return path.string() + ": not a " + suffix.toUpper().toStdString() + " picture, though its name says so";
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
    if (QImageReader(QString::fromStdString(inputs.front().string())).canRead()) {
        auto pictures = std::make_unique<CPictureSource>();
        if (!pictures->Open(inputs)) {
            error = pictures->GetError();
            return nullptr;
        }
        return pictures;
    }
    if (auto refusal = RefuseMisnamedPicture(inputs.front())) {
        error = *refusal;
        return nullptr;
    }
    if (inputs.size() > 1) {
        error = inputs.front().string() + ": " + kNotAPicture;
        return nullptr;
    }
    auto video = std::make_unique<CVideoSource>();
    if (!video->Open(inputs.front(), range)) {
        error = video->GetError();
        return nullptr;
    }
    // Decoding goes on while the caller halftones and writes.
    return std::make_unique<CReadAheadSource>(std::move(video));
}
