// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoSource.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/mathematics.h>
}

#include <QTransform>
#include <cmath>

namespace {
std::int64_t SecondsToTicks(double seconds, AVRational timeBase)
{
    return av_rescale_q(std::llround(seconds * AV_TIME_BASE), AV_TIME_BASE_Q, timeBase);
}

// The clockwise turn, in quarter turns as degrees, that shows the picture upright: phones record
// sideways and say so in the stream's display matrix.
int UprightTurn(const AVStream& stream)
{
    const auto* matrix = reinterpret_cast<const std::int32_t*>(
        av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (matrix == nullptr)
        return 0;
    const double counterClockwise = av_display_rotation_get(matrix);
    if (std::isnan(counterClockwise))
        return 0;
    const long quarters = std::lround(-counterClockwise / 90.0);
    return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}
}  // namespace

bool CVideoSource::Open(const std::filesystem::path& path, const VideoRange& range)
{
    m_path = path;
    if (!m_demuxer.Open(path)) {
        Fail(path, m_demuxer.GetError());
        return false;
    }
    if (!OpenDecoder())
        return false;

    const AVStream& stream = m_demuxer.GetStream();
    const std::int64_t start = m_demuxer.GetOrigin() + SecondsToTicks(range.start, stream.time_base);
    std::optional<std::int64_t> end;
    if (range.duration)
        end = start + SecondsToTicks(*range.duration, stream.time_base);
    std::optional<AVRational> rate;
    if (range.fps)
        rate = av_d2q(*range.fps, 1000000);
    m_sampler.emplace(stream.time_base, start, end, rate);
    ExpectFrames();
    if (range.fps)
        m_rate = *range.fps;
    else if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
        m_rate = av_q2d(stream.avg_frame_rate);
    if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
        m_frameInterval = std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(stream.avg_frame_rate), stream.time_base));
    // Decoding starts at a key frame at or before the start; the sampler skips what comes earlier.
    if (range.start > 0 && !m_demuxer.SeekBefore(start)) {
        Fail(path, m_demuxer.GetError());
        return false;
    }
    return true;
}

bool CVideoSource::OpenDecoder()
{
    const AVStream& stream = m_demuxer.GetStream();
    m_decoder.reset(avcodec_alloc_context3(&m_demuxer.GetCodec()));
    m_packet.reset(av_packet_alloc());
    m_decoded.reset(av_frame_alloc());
    m_held.reset(av_frame_alloc());
    if (!m_decoder || !m_packet || !m_decoded || !m_held) {
        Fail(m_path, ffmpeg::ErrorText(AVERROR(ENOMEM)));
        return false;
    }
    int result = avcodec_parameters_to_context(m_decoder.get(), stream.codecpar);
    if (result >= 0) {
        m_decoder->pkt_timebase = stream.time_base;
        // Frame threads keep every core decoding while the caller works on the frames given.
        m_decoder->thread_count = 0;  // as many as the machine has
        m_decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        result = avcodec_open2(m_decoder.get(), &m_demuxer.GetCodec(), nullptr);
    }
    if (result < 0) {
        Fail(m_path, ffmpeg::ErrorText(result));
        return false;
    }
    m_turn = UprightTurn(stream);
    m_size = QSize(m_decoder->width, m_decoder->height);
    // Pixels that are not square (DVD, DV) are widened or narrowed to the shape they are shown at.
    const AVRational pixelShape = av_guess_sample_aspect_ratio(const_cast<AVFormatContext*>(&m_demuxer.GetInput()),
                                                               const_cast<AVStream*>(&stream), nullptr);
    if (pixelShape.num > 0 && pixelShape.den > 0 && pixelShape.num != pixelShape.den && !m_size.isEmpty()) {
        m_size.setWidth(static_cast<int>(std::max<std::int64_t>(
            1, av_rescale(m_size.width(), pixelShape.num, pixelShape.den))));
        m_toSquarePixels.emplace(m_size, FitMode::stretch);
    }
    if (m_turn % 180 != 0)
        m_size.transpose();
    if (m_size.isEmpty()) {
        Fail(m_path, kNeitherPictureNorVideo);
        return false;
    }
    return true;
}

std::optional<std::int64_t> CVideoSource::StreamEnd() const
{
    const AVFormatContext& input = m_demuxer.GetInput();
    const AVStream& stream = m_demuxer.GetStream();
    // A length guessed from the bit rate is no end time.
    if (input.duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        return std::nullopt;
    if (stream.duration != AV_NOPTS_VALUE)
        return m_demuxer.GetOrigin() + stream.duration;
    // The file's length is the video's when nothing else is in it.
    if (input.nb_streams == 1 && input.duration != AV_NOPTS_VALUE) {
        const std::int64_t fileStart = input.start_time != AV_NOPTS_VALUE ? input.start_time : 0;
        return av_rescale_q(fileStart + input.duration, AV_TIME_BASE_Q, stream.time_base);
    }
    return std::nullopt;
}

void CVideoSource::ExpectFrames()
{
    const AVStream& stream = m_demuxer.GetStream();
    if (const auto end = StreamEnd())
        m_expectedFrames = m_sampler->CountUntil(*end, stream.avg_frame_rate);
    else
        m_expectedFrames = stream.nb_frames > 0 ? static_cast<std::uint64_t>(stream.nb_frames) : 0;
}

// The last frame stays until the stream ends, or for as long as it says it lasts; only when
// neither is known, for as long as the frame before it.
std::int64_t CVideoSource::LastFrameEnd() const
{
    if (const auto end = StreamEnd(); end && *end > m_heldTime)
        return *end;
    const std::int64_t ownDuration = m_held->pkt_duration;
    return m_heldTime + (ownDuration > 0 ? ownDuration : m_frameInterval);
}

int CVideoSource::DecodeNext()
{
    for (;;) {
        int result = avcodec_receive_frame(m_decoder.get(), m_decoded.get());
        if (result != AVERROR(EAGAIN)) {
            if (result >= 0)
                ++m_framesDecoded;
            return result;
        }
        result = m_demuxer.Read(*m_packet);
        if (result == AVERROR_EOF) {
            // Drain what the decoder still holds; a second drain request just says end of file.
            result = avcodec_send_packet(m_decoder.get(), nullptr);
            if (result < 0 && result != AVERROR_EOF)
                return result;
            continue;
        }
        if (result < 0)
            return result;
        result = avcodec_send_packet(m_decoder.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (result < 0)
            return result;
    }
}

std::int64_t CVideoSource::TimeOf(const AVFrame& frame) const
{
    if (frame.best_effort_timestamp != AV_NOPTS_VALUE)
        return frame.best_effort_timestamp;
    return m_holding ? m_heldTime + m_frameInterval : 0;
}

bool CVideoSource::TakeHeld(std::int64_t until, bool last)
{
    m_heldRepeats = last ? m_sampler->TakeLast(m_heldTime, until) : m_sampler->Take(m_heldTime, until);
    if (m_heldRepeats == 0)
        return true;
    // The frame handed out before may still be in use: a new one rather than a copy of it to overwrite.
    if (!m_grey.isDetached())
        m_grey = QImage();
    if (!m_toGrey.Convert(*m_held, m_grey)) {
        Fail(m_path, "its pictures can't be made grey", m_framesDecoded);
        return false;
    }
    if (m_toSquarePixels) {
        if (!m_toSquarePixels->Fit(m_grey, m_squareGrey)) {
            Fail(m_path, "its pictures can't be given square pixels", m_framesDecoded);
            return false;
        }
        m_grey = m_squareGrey;
    }
    if (m_turn != 0)
        m_grey = m_grey.transformed(QTransform().rotate(m_turn));
    return true;
}

FrameRead CVideoSource::ReadFrame(QImage& grey)
{
    while (m_heldRepeats == 0) {
        if (m_finished)
            return FrameRead::end;
        const int result = DecodeNext();
        if (result == AVERROR_EOF) {
            m_finished = true;
            if (m_holding && !TakeHeld(LastFrameEnd(), true))
                return FrameRead::failed;
            continue;
        }
        if (result < 0) {
            Fail(m_path, ffmpeg::ErrorText(result), m_framesDecoded + 1);
            return FrameRead::failed;
        }
        const std::int64_t time = TimeOf(*m_decoded);
        if (m_holding) {
            if (time > m_heldTime)
                m_frameInterval = time - m_heldTime;
            if (!TakeHeld(time, false))
                return FrameRead::failed;
        }
        av_frame_unref(m_held.get());
        av_frame_move_ref(m_held.get(), m_decoded.get());
        m_heldTime = time;
        m_holding = true;
        // Nothing shown from here on is wanted: stop decoding.
        m_finished = m_sampler->IsPast(time);
    }
    --m_heldRepeats;
    grey = m_grey;
    return FrameRead::frame;
}
