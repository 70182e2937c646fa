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
    AVFormatContext* input = nullptr;
    int result = avformat_open_input(&input, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        Fail(path, ffmpeg::ErrorText(result));
        return false;
    }
    m_input.reset(input);
    if ((result = avformat_find_stream_info(input, nullptr)) < 0) {
        Fail(path, ffmpeg::ErrorText(result));
        return false;
    }
    if (!OpenDecoder())
        return false;

    const AVStream& stream = *input->streams[m_streamIndex];
    const std::int64_t origin = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    const std::int64_t start = origin + SecondsToTicks(range.start, stream.time_base);
    std::optional<std::int64_t> end;
    if (range.duration)
        end = start + SecondsToTicks(*range.duration, stream.time_base);
    std::optional<AVRational> rate;
    if (range.fps)
        rate = av_d2q(*range.fps, 1000000);
    m_sampler.emplace(stream.time_base, start, end, rate);
    ExpectFrames(stream);
    if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
        m_frameInterval = std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(stream.avg_frame_rate), stream.time_base));
    // From the key frame before the start; the sampler skips what comes earlier. A file that can't
    // seek is decoded from its beginning instead.
    if (range.start > 0)
        av_seek_frame(input, m_streamIndex, start, AVSEEK_FLAG_BACKWARD);
    return true;
}

bool CVideoSource::OpenDecoder()
{
    const AVCodec* codec = nullptr;
    const int found = av_find_best_stream(m_input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (found < 0) {
        Fail(m_path, found == AVERROR_DECODER_NOT_FOUND ? "no decoder for its video" : "no video in it");
        return false;
    }
    m_streamIndex = found;
    // Only the video's packets are wanted from the demuxer.
    for (unsigned i = 0; i < m_input->nb_streams; ++i)
        m_input->streams[i]->discard = static_cast<int>(i) == found ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    const AVStream& stream = *m_input->streams[found];
    m_decoder.reset(avcodec_alloc_context3(codec));
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
        m_decoder->thread_count = 0;  // as many as the machine has
        result = avcodec_open2(m_decoder.get(), codec, nullptr);
    }
    if (result < 0) {
        Fail(m_path, ffmpeg::ErrorText(result));
        return false;
    }
    m_turn = UprightTurn(stream);
    m_size = QSize(m_decoder->width, m_decoder->height);
    // Pixels that are not square (DVD, DV) are widened or narrowed to the shape they are shown at.
    const AVRational pixelShape = av_guess_sample_aspect_ratio(m_input.get(), m_input->streams[found], nullptr);
    if (pixelShape.num > 0 && pixelShape.den > 0 && pixelShape.num != pixelShape.den && !m_size.isEmpty()) {
        m_size.setWidth(static_cast<int>(std::max<std::int64_t>(
            1, av_rescale(m_size.width(), pixelShape.num, pixelShape.den))));
        m_toSquarePixels.emplace(m_size, FitMode::stretch);
    }
    if (m_turn % 180 != 0)
        m_size.transpose();
    if (m_size.isEmpty()) {
        Fail(m_path, "its video has no picture size");
        return false;
    }
    return true;
}

void CVideoSource::ExpectFrames(const AVStream& stream)
{
    std::int64_t length = stream.duration;
    if (length == AV_NOPTS_VALUE && m_input->duration != AV_NOPTS_VALUE)
        length = av_rescale_q(m_input->duration, AV_TIME_BASE_Q, stream.time_base);
    if (length == AV_NOPTS_VALUE) {
        m_expectedFrames = stream.nb_frames > 0 ? static_cast<std::uint64_t>(stream.nb_frames) : 0;
        return;
    }
    const std::int64_t origin = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    m_expectedFrames = m_sampler->CountUntil(origin + length, stream.avg_frame_rate);
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
        result = av_read_frame(m_input.get(), m_packet.get());
        if (result == AVERROR_EOF) {
            // Drain what the decoder still holds; a second drain request just says end of file.
            result = avcodec_send_packet(m_decoder.get(), nullptr);
            if (result < 0 && result != AVERROR_EOF)
                return result;
            continue;
        }
        if (result < 0)
            return result;
        if (m_packet->stream_index == m_streamIndex)
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

bool CVideoSource::TakeHeld(std::int64_t until)
{
    m_heldRepeats = m_sampler->Take(m_heldTime, until);
    if (m_heldRepeats == 0)
        return true;
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
            if (m_holding && !TakeHeld(m_heldTime + m_frameInterval))
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
            if (!TakeHeld(time))
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
