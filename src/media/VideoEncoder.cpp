// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoEncoder.h"

#include <QImage>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "media/Ffmpeg.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace {
constexpr int kIoBufferSize = 1 << 16;

struct FileTarget {
    int fd = -1;
    std::uint64_t bytesWritten = 0;
};

int WriteToFile(void* opaque, std::uint8_t* data, int size)
{
    auto* target = static_cast<FileTarget*>(opaque);
    for (int done = 0; done < size;) {
        const ssize_t n = ::write(target->fd, data + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return AVERROR(n < 0 ? errno : EIO);
        done += static_cast<int>(n);
        target->bytesWritten += static_cast<std::uint64_t>(n);
    }
    return size;
}

std::int64_t SeekInFile(void* opaque, std::int64_t offset, int whence)
{
    const int fd = static_cast<FileTarget*>(opaque)->fd;
    if (whence & AVSEEK_SIZE) {
        struct stat status {};
        return ::fstat(fd, &status) == 0 ? status.st_size : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

struct KindTraits {
    const char* muxer;
    AVCodecID codec;
    const char* preferredEncoder;  // by name, before FFmpeg's default for the codec
};

KindTraits TraitsOf(VideoKind kind)
{
    switch (kind) {
    case VideoKind::gif: return {"gif", AV_CODEC_ID_GIF, nullptr};
    case VideoKind::mkv: return {"matroska", AV_CODEC_ID_FFV1, nullptr};
    case VideoKind::mp4: return {"mp4", AV_CODEC_ID_H264, "libx264"};
    }
    return {};
}

bool TakesGrey(const AVCodec* encoder)
{
    for (const AVPixelFormat* format = encoder->pix_fmts; format && *format != AV_PIX_FMT_NONE; ++format)
        if (*format == AV_PIX_FMT_GRAY8)
            return true;
    return false;
}
}  // namespace

struct CVideoEncoder::State {
    FileTarget file;
    ffmpeg::IoContextPtr io;
    ffmpeg::OutputPtr format;
    ffmpeg::CodecContextPtr codec;
    ffmpeg::FramePtr frame;
    ffmpeg::PacketPtr packet;
    AVStream* stream = nullptr;
    std::int64_t ptsStep = 1;
    std::int64_t nextPts = 0;
    bool lossless = true;
    std::string encoderName;
    std::string error;

    bool Fail(const std::string& what, int code = 0)
    {
        error = code == 0 ? what : what + ": " + ffmpeg::ErrorText(code);
        return false;
    }

    bool StartMuxer(VideoKind kind, int fd);
    bool OpenEncoder(VideoKind kind, int width, int height, int delayMs);
    bool WriteHeader();
    bool Drain();
};

bool CVideoEncoder::State::OpenEncoder(VideoKind kind, int width, int height, int delayMs)
{
    const KindTraits traits = TraitsOf(kind);
    const AVCodec* encoder = traits.preferredEncoder ? avcodec_find_encoder_by_name(traits.preferredEncoder)
                                                     : nullptr;
    if (encoder == nullptr)
        encoder = avcodec_find_encoder(traits.codec);
    if (encoder == nullptr)
        return Fail(std::string("this FFmpeg has no ") + avcodec_get_name(traits.codec) + " encoder");
    encoderName = encoder->name;
    if (!TakesGrey(encoder))
        return Fail("the " + encoderName + " encoder does not take grey pictures");

    codec.reset(avcodec_alloc_context3(encoder));
    if (!codec)
        return Fail("out of memory");
    codec->width = width;
    codec->height = height;
    codec->pix_fmt = AV_PIX_FMT_GRAY8;
    codec->color_range = AVCOL_RANGE_JPEG;  // grey 0 is black and 255 white, not video's 16..235
    // MP4 and Matroska keep the parameter sets in the file's header, not in the first frame: the
    // encoder must know before it starts.
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (kind == VideoKind::gif) {
        codec->time_base = {1, 100};
        ptsStep = GifDelayHundredths(delayMs);
    } else {
        codec->time_base = {delayMs, 1000};  // 1000 / delay frames a second
        codec->framerate = {1000, delayMs};
    }
    AVDictionary* options = nullptr;
    // libx264 at quantiser 0 is lossless; another H.264 encoder is not.
    lossless = kind != VideoKind::mp4 || encoderName == "libx264";
    if (kind == VideoKind::mp4 && lossless)
        av_dict_set(&options, "qp", "0", 0);
    const int opened = avcodec_open2(codec.get(), encoder, &options);
    av_dict_free(&options);
    if (opened < 0)
        return Fail("could not start the " + encoderName + " encoder", opened);

    frame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    if (!frame || !packet)
        return Fail("out of memory");
    frame->format = AV_PIX_FMT_GRAY8;
    frame->width = width;
    frame->height = height;
    const int allocated = av_frame_get_buffer(frame.get(), 0);
    return allocated < 0 ? Fail("could not make a video frame", allocated) : true;
}

bool CVideoEncoder::State::StartMuxer(VideoKind kind, int fd)
{
    file.fd = fd;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
    if (buffer == nullptr)
        return Fail("out of memory");
    io.reset(avio_alloc_context(buffer, kIoBufferSize, 1, &file, nullptr, WriteToFile, SeekInFile));
    if (!io) {
        av_free(buffer);
        return Fail("out of memory");
    }
    AVFormatContext* made = nullptr;
    const int allocated = avformat_alloc_output_context2(&made, nullptr, TraitsOf(kind).muxer, nullptr);
    format.reset(made);
    if (allocated < 0)
        return Fail("could not start the " + std::string(TraitsOf(kind).muxer) + " writer", allocated);
    format->pb = io.get();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    return true;
}

bool CVideoEncoder::State::WriteHeader()
{
    stream = avformat_new_stream(format.get(), nullptr);
    if (stream == nullptr)
        return Fail("out of memory");
    stream->time_base = codec->time_base;
    stream->avg_frame_rate = codec->framerate;
    const int copied = avcodec_parameters_from_context(stream->codecpar, codec.get());
    if (copied < 0)
        return Fail("could not describe the video", copied);
    const int written = avformat_write_header(format.get(), nullptr);
    return written < 0 ? Fail("could not write the file", written) : true;
}

bool CVideoEncoder::State::Drain()
{
    for (;;) {
        const int received = avcodec_receive_packet(codec.get(), packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return Fail("could not encode a frame", received);
        if (packet->duration == 0)
            packet->duration = ptsStep;
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int written = av_interleaved_write_frame(format.get(), packet.get());
        if (written < 0)
            return Fail("could not write the file", written);
    }
}

CVideoEncoder::CVideoEncoder() : m_state(std::make_unique<State>()) {}
CVideoEncoder::~CVideoEncoder() = default;

bool CVideoEncoder::Open(int fd, VideoKind kind, int width, int height, int delayMs)
{
    return m_state->StartMuxer(kind, fd) && m_state->OpenEncoder(kind, width, height, delayMs) &&
           m_state->WriteHeader();
}

bool CVideoEncoder::WriteFrame(const QImage& grey)
{
    State& s = *m_state;
    const int writable = av_frame_make_writable(s.frame.get());
    if (writable < 0)
        return s.Fail("could not make a video frame", writable);
    av_image_copy_plane(s.frame->data[0], s.frame->linesize[0], grey.constBits(),
                        static_cast<int>(grey.bytesPerLine()), grey.width(), grey.height());
    s.frame->pts = s.nextPts;
    s.nextPts += s.ptsStep;
    const int sent = avcodec_send_frame(s.codec.get(), s.frame.get());
    return sent < 0 ? s.Fail("could not encode a frame", sent) : s.Drain();
}

bool CVideoEncoder::Finish()
{
    State& s = *m_state;
    const int sent = avcodec_send_frame(s.codec.get(), nullptr);
    if (sent < 0)
        return s.Fail("could not finish the video", sent);
    if (!s.Drain())
        return false;
    const int trailer = av_write_trailer(s.format.get());
    if (trailer < 0)
        return s.Fail("could not write the file", trailer);
    avio_flush(s.io.get());
    return s.io->error < 0 ? s.Fail("could not write the file", s.io->error) : true;
}

bool CVideoEncoder::IsLossless() const { return m_state->lossless; }
const std::string& CVideoEncoder::GetEncoderName() const { return m_state->encoderName; }
std::uint64_t CVideoEncoder::GetBytesWritten() const { return m_state->file.bytesWritten; }
const std::string& CVideoEncoder::GetError() const { return m_state->error; }
