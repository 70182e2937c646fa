// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where imported frames come from: pictures or a video, handed out one grey frame at a time, so
// memory stays the same whatever the length.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class FrameRead { frame, end, failed };

class CFrameSource {
public:
    virtual ~CFrameSource() = default;

    // The first frame's size, in pixels.
    virtual QSize GetFrameSize() const = 0;
    // How many frames ReadFrame will give: exact for pictures, from the duration for a video
    // (0 when the video does not say).
    virtual std::uint64_t GetExpectedFrameCount() const = 0;
    // The next frame into `grey`, as Format_Grayscale8 of the frame's own size.
    virtual FrameRead ReadFrame(QImage& grey) = 0;
    // Frames a second the source is meant to be seen at, when it says (a video does).
    virtual std::optional<double> GetFrameRate() const { return std::nullopt; }

    // After a failed open or read: "PATH: REASON", with the frame's number when it was not the first.
    const std::string& GetError() const { return m_error; }

protected:
    void TakeErrorOf(const CFrameSource& other) { m_error = other.m_error; }
    void Fail(const std::filesystem::path& path, const std::string& reason, std::uint64_t frameNumber = 1);

private:
    std::string m_error;
};

// Which part of a video is imported, in seconds of presentation time.
struct VideoRange {
    double start = 0;
    std::optional<double> duration;  // to the end when empty
    std::optional<double> fps;       // every frame when empty, else the frame nearest each 1/fps
};

// Why an input among several pictures is refused when Qt does not recognise it.
inline constexpr const char* kNotAPicture = "not a picture, and a video is imported alone";
// Why an input that neither Qt nor FFmpeg makes pictures of is refused.
inline constexpr const char* kNeitherPictureNorVideo = "neither a picture nor a video";

// The frames of `inputs`: one video, or one or more pictures (every frame of an animated one), one
// after another. Returns nullptr with the reason in `error` ("PATH: REASON") when an input can't be
// read.
std::unique_ptr<CFrameSource> OpenFrameSource(const std::vector<std::filesystem::path>& inputs,
                                              const VideoRange& range, std::string& error);
