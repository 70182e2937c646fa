// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoDemuxer.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>

bool CVideoDemuxer::Fail(const std::string& reason)
{
    m_error = reason;
    return false;
}

bool CVideoDemuxer::Open(const std::filesystem::path& path)
{
    m_path = path;
    m_pending.reset(av_packet_alloc());
    if (!m_pending)
        return Fail(ffmpeg::ErrorText(AVERROR(ENOMEM)));
    return OpenInput();
}

bool CVideoDemuxer::OpenInput()
{
    m_input.reset();
    AVFormatContext* input = nullptr;
    int result = avformat_open_input(&input, m_path.c_str(), nullptr, nullptr);
    if (result < 0)
        return Fail(ffmpeg::ErrorText(result));
    m_input.reset(input);
    if ((result = avformat_find_stream_info(input, nullptr)) < 0)
        return Fail(ffmpeg::ErrorText(result));
    const int found = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &m_codec, 0);
    if (found < 0)
        return Fail(found == AVERROR_DECODER_NOT_FOUND ? "no decoder for its video" : "no video in it");
    m_streamIndex = found;
    // Only the video's packets are wanted from the demuxer.
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard = static_cast<int>(i) == found ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    return true;
}

std::int64_t CVideoDemuxer::GetOrigin() const
{
    const AVStream& stream = GetStream();
    return stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
}

int CVideoDemuxer::Read(AVPacket& packet)
{
    if (m_hasPending) {
        m_hasPending = false;
        av_packet_move_ref(&packet, m_pending.get());
        return 0;
    }
    for (;;) {
        const int result = av_read_frame(m_input.get(), &packet);
        if (result < 0 || packet.stream_index == m_streamIndex)
            return result;
        av_packet_unref(&packet);
    }
}

bool CVideoDemuxer::FindKeyFrame()
{
    m_hasPending = false;
    while (Read(*m_pending) >= 0) {
        if (m_pending->flags & AV_PKT_FLAG_KEY)
            return m_hasPending = true;
        av_packet_unref(m_pending.get());
    }
    return false;
}

bool CVideoDemuxer::SeekBefore(std::int64_t time)
{
    const AVStream& stream = GetStream();
    const std::int64_t origin = GetOrigin();
    const std::int64_t second = std::max<std::int64_t>(1, av_rescale_q(1, AVRational{1, 1}, stream.time_base));
    // Timestamps that restart or wrap (MPEG-TS, MPEG-PS) put a bisecting seek only near the time.
    std::int64_t margin = (m_input->iformat->flags & AVFMT_TS_DISCONT) ? second : 0;
    bool moved = false;
    for (;;) {
        const std::int64_t target = time - margin;
        if (target <= origin)
            break;
        // A failed seek may still have read on (a raw stream searched to its end).
        moved = true;
        if (av_seek_frame(m_input.get(), m_streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0)
            break;
        if (FindKeyFrame()) {
            const std::int64_t shown = m_pending->pts != AV_NOPTS_VALUE ? m_pending->pts : m_pending->dts;
            if (shown != AV_NOPTS_VALUE && shown <= time)
                return true;
        }
        margin = std::max(second, 2 * margin);
    }
    m_hasPending = false;
    av_packet_unref(m_pending.get());
    // Not moved: the file is still at its beginning.
    return !moved || OpenInput();
}
