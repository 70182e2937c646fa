// SPDX-License-Identifier: GPL-3.0-or-later
// kvt export: a stream's frames out as pictures, an animation or a video.

#include <QSize>
#include <QString>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/MediaCommands.h"
#include "cli/NumberOptions.h"
#include "io/OutputCheck.h"
#include "cli/StreamToSink.h"
#include "io/Message.h"
#include "media/LibraryMessages.h"
#include "media/NumberedName.h"
#include "media/PictureSetSink.h"
#include "media/VideoFileSink.h"
#include "stream/FrameDelay.h"

namespace fs = std::filesystem;

namespace {
constexpr int kDefaultDelayMs = 100;  // the player's
constexpr int kMaxSide = 65535;        // GIF's and most encoders' limit

struct ExportOptions {
    std::string in;
    std::string out;
    int scale = 1;
    int delayMs = kDefaultDelayMs;
    std::string frames;
};

std::string LowerExtension(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// What an export writes, by the output's ending.
struct OutputFormat {
    const char* extension;
    const char* picture;  // Qt's name of the picture format; null for a video
    VideoKind video;
};

constexpr OutputFormat kOutputFormats[] = {
    {".png", "png", VideoKind::gif}, {".pgm", "pgm", VideoKind::gif}, {".gif", nullptr, VideoKind::gif},
    {".mkv", nullptr, VideoKind::mkv}, {".mp4", nullptr, VideoKind::mp4},
};

const OutputFormat* FindOutputFormat(const fs::path& out)
{
    const std::string extension = LowerExtension(out);
    for (const OutputFormat& format : kOutputFormats)
        if (extension == format.extension)
            return &format;
    return nullptr;
}

// The numbered names of the pictures, or nothing after saying why OUT can't name the frames.
std::optional<CNumberedName> PictureNames(const fs::path& out, const FrameRange& range)
{
    auto names = CNumberedName::Parse(out.filename().string());
    if (!names) {
        ShowMessage("kvt export: " + out.string() + ": the file name may hold one number field, such as %04d");
        return std::nullopt;
    }
    if (!names->HasField() && range.Count() > 1) {
        ShowMessage("kvt export: " + out.string() + " names one file for " + std::to_string(range.Count()) +
                    " frames: put a number field in it, such as frame-%04d" + out.extension().string() +
                    ", or take one frame with --frames");
        return std::nullopt;
    }
    return names;
}

std::unique_ptr<CFrameSink> OpenPictureSet(const fs::path& out, CNumberedName names, const char* format,
                                           const FrameRange& range)
{
    auto sink = std::make_unique<CPictureSetSink>(out.parent_path(), std::move(names), format);
    if (!sink->Open(range.first, range.last)) {
        ShowMessage("kvt export: " + sink->GetError());
        return nullptr;
    }
    return sink;
}

// A GIF plays at another rate than asked when the delay is not a whole hundredth of a second.
void WarnOfGifDelay(int delayMs)
{
    const int setMs = 10 * GifDelayHundredths(delayMs);
    if (setMs == delayMs)
        return;
    const std::string why = delayMs < kGifShortestDelayMs
                                ? "most browsers show GIF frames shorter than " +
                                      std::to_string(kGifShortestDelayMs) + " ms for 100 ms; "
                                : "GIF counts time in hundredths of a second; ";
    const auto rate = [](double framesASecond) { return QString::number(framesASecond, 'g', 4).toStdString(); };
    ShowMessage("kvt export: warning: " + why + "each frame is set to " + std::to_string(setMs) + " ms rather than " +
                std::to_string(delayMs) + " ms: the animation plays at " +
                rate(100.0 / GifDelayHundredths(delayMs)) + " frames a second, not " + rate(1000.0 / delayMs));
}

std::unique_ptr<CFrameSink> OpenVideo(const ExportOptions& options, VideoKind kind, QSize size)
{
    if (kind == VideoKind::gif)
        WarnOfGifDelay(options.delayMs);
    auto sink = std::make_unique<CVideoFileSink>(options.out);
    if (!sink->Open(kind, size.width(), size.height(), options.delayMs)) {
        ShowMessage("kvt export: " + sink->GetError());
        return nullptr;
    }
    if (!sink->GetEncoder().IsLossless())
        ShowMessage("kvt export: warning: the " + sink->GetEncoder().GetEncoderName() +
                    " encoder compresses with loss, which damages shares; .mkv or .png keep every pixel");
    return sink;
}

int RunExport(const ExportOptions& options, const CommonOptions& common)
{
    const OutputFormat* format = FindOutputFormat(options.out);
    if (format == nullptr) {
        ShowMessage("kvt export: " + options.out + ": the name must end in .png, .pgm, .gif, .mkv or .mp4");
        return kExitUsage;
    }
    StreamRange input;
    if (const int status = OpenStreamRange("kvt export", options.in, options.frames, input))
        return status;
    const KvtHeader& header = input.reader.GetHeader();
    const QSize size(header.width * options.scale, header.height * options.scale);
    if (size.width() > kMaxSide || size.height() > kMaxSide) {
        ShowMessage("kvt export: --scale " + std::to_string(options.scale) + " makes " + std::to_string(size.width()) +
                    " x " + std::to_string(size.height()) + " pixels, more than " + std::to_string(kMaxSide) +
                    " a side");
        return kExitUsage;
    }
    std::optional<CNumberedName> names;
    if (format->picture && !(names = PictureNames(options.out, input.range)))
        return kExitUsage;
    std::vector<fs::path> outputs;
    for (int index = input.range.first; names && index <= input.range.last; ++index)
        outputs.push_back(fs::path(options.out).parent_path() / names->Fill(index));
    if (!CheckOutputs("kvt export", names ? outputs : std::vector<fs::path>{options.out}, {options.in}))
        return kExitUsage;
    const CLibraryMessages libraryMessages("kvt export");
    const std::unique_ptr<CFrameSink> sink = names ? OpenPictureSet(options.out, *names, format->picture, input.range)
                                                   : OpenVideo(options, format->video, size);
    return sink ? WriteFrames("kvt export", input, options.scale, *sink, common) : kExitFailed;
}

}  // namespace

void AddExportCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ExportOptions>();
    CCommand command = commandLine.AddCommand(
        kExportCommand.name, kExportCommand.description,
        [options](const CommonOptions& common) { return RunExport(*options, common); });
    command.AddOption("IN", options->in, "The stream to read").Required();
    command.AddOption("-o", options->out, "The file (or numbered files) to write").Required().TypeName("OUT");
    command.AddOption("--scale", options->scale, "Every pixel becomes an N x N block (default 1)")
        .TypeName("N")
        .Check(WholeNumberFrom(1, 1000));
    command.AddOption("--delay", options->delayMs, "Milliseconds each frame shows (default 100)")
        .TypeName("MS")
        .Check(WholeNumberFrom(static_cast<int>(kMinDelay), static_cast<int>(kMaxDelay)));
    command.AddOption("--frames", options->frames, "Frames A to B (from 0; default all)").TypeName("A..B");
}

