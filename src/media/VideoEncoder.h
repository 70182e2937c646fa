// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grey frames into an animated GIF, an FFV1 Matroska or an H.264 MP4. The bytes go through our own
// FFmpeg I/O context onto a file descriptor the caller owns, so the caller decides where they land.

#include <cstdint>
#include <memory>
#include <string>

class QImage;

enum class VideoKind { gif, mkv, mp4 };

// GIF counts time in whole hundredths of a second, and browsers show frames shorter than 20 ms
// for 100 ms: the nearest whole hundredth, at least 2.
inline constexpr int kGifShortestDelayMs = 20;
inline int GifDelayHundredths(int delayMs)
{
    const int hundredths = (delayMs + 5) / 10;
    return hundredths < kGifShortestDelayMs / 10 ? kGifShortestDelayMs / 10 : hundredths;
}

class CVideoEncoder {
public:
    CVideoEncoder();
    ~CVideoEncoder();
    CVideoEncoder(const CVideoEncoder&) = delete;
    CVideoEncoder& operator=(const CVideoEncoder&) = delete;

    // Every frame shows for delayMs milliseconds. The descriptor must be open for writing and
    // seekable (the muxers go back to fill in sizes) and stay open until Finish.
    bool Open(int fd, VideoKind kind, int width, int height, int delayMs);
    bool WriteFrame(const QImage& grey);   // QImage::Format_Grayscale8 of the opened size
    bool Finish();                        // drains the encoder and writes the container's index
    // False when the encoder found for the kind compresses with loss (an H.264 other than libx264).
    bool IsLossless() const;
    const std::string& GetEncoderName() const;
    std::uint64_t GetBytesWritten() const;
    const std::string& GetError() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
