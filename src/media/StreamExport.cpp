// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/StreamExport.h"

#include <QString>
#include <algorithm>
#include <vector>

#include "io/FileSet.h"
#include "media/FramePicture.h"
#include "media/FrameSink.h"
#include "media/PictureSetSink.h"
#include "media/VideoFileSink.h"
#include "stream/StreamFileReader.h"

namespace fs = std::filesystem;

namespace {
constexpr ExportFormat kExportFormats[] = {
    {".png", "png", VideoKind::gif}, {".pgm", "pgm", VideoKind::gif}, {".gif", nullptr, VideoKind::gif},
    {".mkv", nullptr, VideoKind::mkv}, {".mp4", nullptr, VideoKind::mp4},
};

std::string LowerExtension(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
}  // namespace

const ExportFormat* FindExportFormat(const fs::path& out)
{
    const std::string extension = LowerExtension(out);
    for (const ExportFormat& format : kExportFormats)
        if (extension == format.extension)
            return &format;
    return nullptr;
}

std::optional<CNumberedName> ExportPictureNames(const fs::path& out, int frameCount, std::string& error)
{
    auto names = CNumberedName::Parse(out.filename().string());
    if (!names) {
        error = out.string() + ": the file name may hold one number field, such as %04d";
        return std::nullopt;
    }
    if (!names->HasField() && frameCount > 1) {
        error = out.string() + " names one file for " + std::to_string(frameCount) +
                " frames: put a number field in it, such as frame-%04d" + out.extension().string() +
                ", or take one frame with --frames";
        return std::nullopt;
    }
    return names;
}

std::optional<std::string> RefuseExportSize(QSize size, int scale)
{
    const QSize scaled = size * scale;
    if (scaled.width() <= kMaxExportSide && scaled.height() <= kMaxExportSide)
        return std::nullopt;
    return "--scale " + std::to_string(scale) + " makes " + std::to_string(scaled.width()) + " x " +
           std::to_string(scaled.height()) + " pixels, more than " + std::to_string(kMaxExportSide) + " a side";
}

std::optional<std::string> GifDelayWarning(int delayMs)
{
    const int setMs = 10 * GifDelayHundredths(delayMs);
    if (setMs == delayMs)
        return std::nullopt;
    const std::string why = delayMs < kGifShortestDelayMs
                                ? "most browsers show GIF frames shorter than " +
                                      std::to_string(kGifShortestDelayMs) + " ms for 100 ms; "
                                : "GIF counts time in hundredths of a second; ";
    const auto rate = [](double framesASecond) { return QString::number(framesASecond, 'g', 4).toStdString(); };
    return why + "each frame is set to " + std::to_string(setMs) + " ms rather than " + std::to_string(delayMs) +
           " ms: the animation plays at " + rate(100.0 / GifDelayHundredths(delayMs)) + " frames a second, not " +
           rate(1000.0 / delayMs);
}

std::optional<std::string> LossyVideoWarning(const CVideoEncoder& encoder)
{
    if (encoder.IsLossless())
        return std::nullopt;
    return "the " + encoder.GetEncoderName() +
           " encoder compresses with loss, which damages shares; .mkv or .png keep every pixel";
}

std::unique_ptr<CFrameSink> OpenExportSink(const ExportTarget& target, CFileSet* set, std::string& error)
{
    if (target.format->picture) {
        auto sink = set ? std::make_unique<CPictureSetSink>(*set, *target.names, target.format->picture)
                        : std::make_unique<CPictureSetSink>(target.out.parent_path(), *target.names,
                                                            target.format->picture);
        if (!sink->Open(target.first, target.last)) {
            error = sink->GetError();
            return nullptr;
        }
        return sink;
    }
    fs::path staged = target.out;
    if (set && (staged = set->Add(target.out.filename().string())).empty()) {
        error = set->GetErrorPath().string() + ": " + set->GetError();
        return nullptr;
    }
    auto sink = std::make_unique<CVideoFileSink>(staged, target.out);
    if (!sink->Open(target.format->video, target.size.width(), target.size.height(), target.delayMs)) {
        error = sink->GetError();
        return nullptr;
    }
    return sink;
}

CopyOutcome CopyFrames(const NextFrame& next, int first, int last, int scale, CFrameSink& sink,
                       const CopyProgress& progress, std::string& error)
{
    for (int index = 0; index <= last; ++index) {
        const QImage grey = next();
        if (grey.isNull()) {
            error.clear();  // the reader has said why
            return CopyOutcome::failed;
        }
        if (index < first)
            continue;
        const std::uint64_t before = sink.GetBytesWritten();
        if (!sink.Write(ScaleUpNearest(grey, scale), index)) {
            error = sink.GetError();
            return CopyOutcome::failed;
        }
        if (progress && !progress(sink.GetBytesWritten() - before))
            return CopyOutcome::stopped;
    }
    if (!sink.Finish()) {
        error = sink.GetError();
        return CopyOutcome::failed;
    }
    return CopyOutcome::written;
}

CopyOutcome CopyFrames(CStreamFileReader& reader, int first, int last, int scale, CFrameSink& sink,
                       const CopyProgress& progress, std::string& error)
{
    const KvtHeader& header = reader.GetHeader();
    std::vector<BYTE> frame(header.FrameBytes());
    const NextFrame next = [&] {
        return reader.ReadFrame(frame.data()) ? WrapGreyFrame(frame.data(), header.width, header.height) : QImage();
    };
    return CopyFrames(next, first, last, scale, sink, progress, error);
}
