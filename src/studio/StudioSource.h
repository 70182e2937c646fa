// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the studio's secret comes from: a picture (animated ones frame by frame), a video, or a .kvt
// stream, opened once and read a frame at a time. Only the frame on show (and, for levels measured
// on the first frame, the first one) is held, whatever the length.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "media/FrameSource.h"
#include "stream/StreamFileReader.h"

enum class SourceKind { none, pictures, video, stream };

class CStudioSource {
public:
    // Opens `path` for the frames of `range` (a video's part and rate); a file beginning with a
    // .kvt header is a stream. False with GetError() saying "PATH: REASON"; what was open stays.
    bool Open(const std::filesystem::path& path, const VideoRange& range);
    void Close();

    SourceKind GetKind() const { return m_kind; }
    const std::filesystem::path& GetPath() const { return m_path; }
    const VideoRange& GetRange() const { return m_range; }
    // The source's own frame size, before any fitting.
    QSize GetFrameSize() const { return m_size; }
    // Frames the source gives: exact for pictures and streams, from the duration for a video.
    std::uint64_t GetFrameCount() const { return m_frameCount; }
    // Frames a second a video is seen at; nothing for pictures and streams, which don't say.
    std::optional<double> GetFrameRate() const { return m_rate; }

    // Makes frame `index` (from 0) current: reads on from the current frame, or opens the source
    // again to go back. False with GetError() past the end or on a read failure.
    bool Seek(std::uint64_t index);
    std::uint64_t GetIndex() const { return m_index; }
    // The current frame: grey (Format_Grayscale8) at the source's size.
    const QImage& GetFrame() const { return m_frame; }
    // The first frame, which levels measured once are measured on.
    const QImage& GetFirstFrame() const { return m_first; }

    const std::string& GetError() const { return m_error; }

private:
    bool Reopen();
    bool ReadNext(QImage& frame);

    SourceKind m_kind = SourceKind::none;
    std::filesystem::path m_path;
    VideoRange m_range;
    QSize m_size;
    std::uint64_t m_frameCount = 0;
    std::optional<double> m_rate;
    std::unique_ptr<CFrameSource> m_frames;     // pictures and video
    std::unique_ptr<CStreamFileReader> m_stream;  // a .kvt stream
    std::uint64_t m_index = 0;
    std::uint64_t m_nextIndex = 0;  // what ReadNext gives next
    QImage m_frame;
    QImage m_first;
    std::string m_error;
};

// Whether `path` begins with the two letters of a .kvt header.
bool IsStreamFile(const std::filesystem::path& path);
