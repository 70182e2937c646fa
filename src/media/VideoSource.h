// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A video through FFmpeg's libavformat and libavcodec: its first video stream, decoded frame by
// frame with the decoder's own frame threads and handed out as grey (the video's own luma,
// stretched to the full 0..255 range) as the sampler chooses them, turned upright as the stream
// says. Only one decoded frame is held back, to learn how long it stays on screen.

#include <optional>

#include "media/Ffmpeg.h"
#include "media/FrameFit.h"
#include "media/FrameSampler.h"
#include "media/FrameSource.h"
#include "media/VideoDemuxer.h"
#include "media/VideoGrey.h"

class CVideoSource : public CFrameSource {
public:
    // Opens the file, its decoder and seeks to a key frame at or before the range's start; false
    // after Fail.
    bool Open(const std::filesystem::path& path, const VideoRange& range);

    QSize GetFrameSize() const override { return m_size; }
    std::uint64_t GetExpectedFrameCount() const override { return m_expectedFrames; }
    FrameRead ReadFrame(QImage& grey) override;
    // The rate asked for, or else the video's own average.
    std::optional<double> GetFrameRate() const override { return m_rate; }

private:
    bool OpenDecoder();
    void ExpectFrames();
    // Where the stream ends, in its ticks, when the container knows and can be believed.
    std::optional<std::int64_t> StreamEnd() const;
    std::int64_t LastFrameEnd() const;
    int DecodeNext();
    std::int64_t TimeOf(const AVFrame& frame) const;
    // Gives the held frame its share of stream frames now that its end is known.
    bool TakeHeld(std::int64_t until, bool last);

    std::filesystem::path m_path;
    CVideoDemuxer m_demuxer;
    ffmpeg::CodecContextPtr m_decoder;
    ffmpeg::PacketPtr m_packet;
    ffmpeg::FramePtr m_decoded;
    ffmpeg::FramePtr m_held;
    CVideoGrey m_toGrey;
    QSize m_size;     // upright
    int m_turn = 0;   // degrees clockwise that make the decoded pictures upright
    std::optional<CFrameFitter> m_toSquarePixels;
    QImage m_squareGrey;
    std::optional<CFrameSampler> m_sampler;
    std::uint64_t m_expectedFrames = 0;
    std::optional<double> m_rate;

    bool m_holding = false;
    std::int64_t m_heldTime = 0;
    std::int64_t m_frameInterval = 1;  // the last gap between frames
    std::uint64_t m_heldRepeats = 0;   // stream frames the held frame still gives
    bool m_finished = false;
    std::uint64_t m_framesDecoded = 0;
    QImage m_grey;
};
