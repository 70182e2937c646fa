// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The packets of a video file's first video stream, from its beginning or from a key frame at or
// before a chosen time. A seek is checked against the key frame it reaches: containers without an
// index (MPEG-TS, MPEG-PS) find a time by bisecting the file and often land after it, so the seek
// goes back further until a key frame at or before the time comes first, or else reads from the
// beginning.

#include <cstdint>
#include <filesystem>
#include <string>

#include "media/Ffmpeg.h"

class CVideoDemuxer {
public:
    // Opens the file and finds its video stream; false with the reason in GetError.
    bool Open(const std::filesystem::path& path);

    const AVFormatContext& GetInput() const { return *m_input; }
    const AVStream& GetStream() const { return *m_input->streams[m_streamIndex]; }
    const AVCodec& GetCodec() const { return *m_codec; }
    // The stream's first presentation time, in its ticks.
    std::int64_t GetOrigin() const;

    // Makes the next packet read a key frame shown at or before `time` (ticks of the stream), or
    // the first packet of the file. False only when the file can't be opened again.
    bool SeekBefore(std::int64_t time);
    // The stream's next packet into `packet`; AVERROR_EOF after the last.
    int Read(AVPacket& packet);

    const std::string& GetError() const { return m_error; }

private:
    bool OpenInput();
    // Reads up to the stream's next key frame into m_pending; false at the end of the file.
    bool FindKeyFrame();
    bool Fail(const std::string& reason);

    std::filesystem::path m_path;
    ffmpeg::InputPtr m_input;
    const AVCodec* m_codec = nullptr;
    int m_streamIndex = -1;
    ffmpeg::PacketPtr m_pending;  // read while checking a seek, handed out first
    bool m_hasPending = false;
    std::string m_error;
};
