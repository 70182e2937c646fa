// kvt export and kvt print: a stream's frames out as pictures, an animation or a video, and onto
// paper at physical scale, read a frame at a time so that any length fits in memory.

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/FrameRange.h"
#include "cli/MediaCommands.h"
#include "cli/NumberOptions.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "media/FramePicture.h"
#include "media/LibraryMessages.h"
#include "media/PdfFileSink.h"
#include "media/PictureSetSink.h"
#include "media/VideoFileSink.h"
#include "stream/FrameDelay.h"
#include "stream/StreamFileReader.h"

namespace fs = std::filesystem;

namespace {
constexpr int kDefaultDelayMs = 100;  // the player's
constexpr int kMaxSide = 65535;        // GIF's and most encoders' limit
constexpr double kMmPerInch = 25.4;

struct ExportOptions {
    std::string in;
    std::string out;
    int scale = 1;
    int delayMs = kDefaultDelayMs;
    std::string frames;
};

struct PrintOptions {
    std::string in;
    std::string out;
    std::string subpixel;
    int dpi = 0;
    std::string page = "a4";
    std::string frames;
    bool noMarks = false;
};

// The stream opened and the frames to take from it; exit status 1 or 2 when either is refused.
struct Input {
    CStreamFileReader reader;
    FrameRange range;
};

int OpenInput(const char* command, const std::string& path, const std::string& frames, Input& input)
{
    if (!::OpenInput(input.reader, path))
        return kExitFailed;
    std::string error;
    const auto range = ParseFrameRange(frames, input.reader.GetHeader().frameCount, error);
    if (!range) {
        std::cerr << command << ": " << error << '\n';
        return kExitUsage;
    }
    input.range = *range;
    return kExitOk;
}

// Reads the stream up to the range's last frame and hands each frame of the range, scaled, to the
// sink; the sink's output is in place only when every frame went in.
int WriteFrames(const char* command, Input& input, int scale, CFrameSink& sink, const CommonOptions& common)
{
    const KvtHeader& header = input.reader.GetHeader();
    std::vector<BYTE> frame(header.FrameBytes());
    CProgressLine progress(command, static_cast<std::uint64_t>(input.range.Count()), common.quiet);
    auto fail = [&](const std::string& error) {
        progress.Finish();
        if (!error.empty())
            std::cerr << command << ": " << error << '\n';
        return kExitFailed;
    };
    for (int index = 0; index <= input.range.last; ++index) {
        if (!input.reader.ReadFrame(frame.data()))
            return fail({});  // the reader has said why
        if (index < input.range.first)
            continue;
        const std::uint64_t before = sink.GetBytesWritten();
        const QImage grey = WrapGreyFrame(frame.data(), header.width, header.height);
        if (!sink.Write(ScaleUpNearest(grey, scale), index))
            return fail(sink.GetError());
        progress.Advance(sink.GetBytesWritten() - before);
    }
    if (!sink.Finish())
        return fail(sink.GetError());
    progress.Finish();
    return kExitOk;
}

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
        std::cerr << "kvt export: " << out.string() << ": the file name may hold one number field, such as %04d\n";
        return std::nullopt;
    }
    if (!names->HasField() && range.Count() > 1) {
        std::cerr << "kvt export: " << out.string() << " names one file for " << range.Count()
                  << " frames: put a number field in it, such as frame-%04d" << out.extension().string()
                  << ", or take one frame with --frames\n";
        return std::nullopt;
    }
    return names;
}

std::unique_ptr<CFrameSink> OpenPictureSet(const fs::path& out, CNumberedName names, const char* format,
                                           const FrameRange& range)
{
    auto sink = std::make_unique<CPictureSetSink>(out.parent_path(), std::move(names), format);
    if (!sink->Open(range.first, range.last)) {
        std::cerr << "kvt export: " << sink->GetError() << '\n';
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
    std::cerr << "kvt export: warning: ";
    if (delayMs < kGifShortestDelayMs)
        std::cerr << "most browsers show GIF frames shorter than " << kGifShortestDelayMs << " ms for 100 ms; ";
    else
        std::cerr << "GIF counts time in hundredths of a second; ";
    std::cerr << "each frame is set to " << setMs << " ms rather than " << delayMs << " ms: the animation plays at "
              << QString::number(100.0 / GifDelayHundredths(delayMs), 'g', 4).toStdString() << " frames a second, not " << QString::number(1000.0 / delayMs, 'g', 4).toStdString() << '\n';
}

std::unique_ptr<CFrameSink> OpenVideo(const ExportOptions& options, VideoKind kind, QSize size)
{
    if (kind == VideoKind::gif)
        WarnOfGifDelay(options.delayMs);
    auto sink = std::make_unique<CVideoFileSink>(options.out);
    if (!sink->Open(kind, size.width(), size.height(), options.delayMs)) {
        std::cerr << "kvt export: " << sink->GetError() << '\n';
        return nullptr;
    }
    if (!sink->GetEncoder().IsLossless())
        std::cerr << "kvt export: warning: the " << sink->GetEncoder().GetEncoderName()
                  << " encoder compresses with loss, which damages shares; .mkv or .png keep every pixel\n";
    return sink;
}

int RunExport(const ExportOptions& options, const CommonOptions& common)
{
    const OutputFormat* format = FindOutputFormat(options.out);
    if (format == nullptr) {
        std::cerr << "kvt export: " << options.out << ": the name must end in .png, .pgm, .gif, .mkv or .mp4\n";
        return kExitUsage;
    }
    Input input;
    if (const int status = OpenInput("kvt export", options.in, options.frames, input))
        return status;
    const KvtHeader& header = input.reader.GetHeader();
    const QSize size(header.width * options.scale, header.height * options.scale);
    if (size.width() > kMaxSide || size.height() > kMaxSide) {
        std::cerr << "kvt export: --scale " << options.scale << " makes " << size.width() << " x "
                  << size.height() << " pixels, more than " << kMaxSide << " a side\n";
        return kExitUsage;
    }
    std::optional<CNumberedName> names;
    if (format->picture && !(names = PictureNames(options.out, input.range)))
        return kExitUsage;
    const CLibraryMessages libraryMessages("kvt export");
    const std::unique_ptr<CFrameSink> sink = names ? OpenPictureSet(options.out, *names, format->picture, input.range)
                                                   : OpenVideo(options, format->video, size);
    return sink ? WriteFrames("kvt export", input, options.scale, *sink, common) : kExitFailed;
}

std::string FormatMillimetres(double mm)
{
    return QString::number(mm, 'g', 4).toStdString() + " mm";
}

void SayLargestThatFits(int width, int height, const std::string& pixelSize, QPageSize::PageSizeId page)
{
    const double largest = std::floor(CPrintLayout::LargestPixelMm(width, height, page) * 1000) / 1000;
    std::cerr << "kvt print: " << width << " x " << height << " pixels of " << pixelSize << " do not fit on "
              << (page == QPageSize::A4 ? "A4" : "Letter")
              << " paper with their marks and caption; the largest that fits is --subpixel "
              << QString::number(largest, 'f', 3).toStdString() << "mm (or --dpi "
              << static_cast<int>(std::ceil(kMmPerInch / largest)) << ")\n";
}

// A GUI application without a display; its notes about the desktop it finds are not for our users.
void QuietOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << "kvt print: " << text.toStdString() << '\n';
    });
}

int RunPrint(const PrintOptions& options, const CommonOptions& common)
{
    if (options.subpixel.empty() && options.dpi == 0) {
        std::cerr << "kvt print: give the size of a pixel with --subpixel SIZE or --dpi N\n";
        return kExitUsage;
    }
    const std::optional<double> pixelMm =
        options.dpi > 0 ? std::optional(kMmPerInch / options.dpi) : ParseLengthMm(options.subpixel);
    if (!pixelMm) {
        std::cerr << "kvt print: --subpixel " << options.subpixel << ": expected " << kLengthUnits << '\n';
        return kExitUsage;
    }
    Input input;
    if (const int status = OpenInput("kvt print", options.in, options.frames, input))
        return status;
    const int width = input.reader.GetHeader().width;
    const int height = input.reader.GetHeader().height;
    const std::string pixelSize = options.dpi > 0 ? "1/" + std::to_string(options.dpi) + " inch"
                                                  : FormatMillimetres(*pixelMm);
    const QPageSize::PageSizeId page = options.page == "letter" ? QPageSize::Letter : QPageSize::A4;
    const auto layout = CPrintLayout::Fit(width, height, *pixelMm, page);
    if (!layout) {
        SayLargestThatFits(width, height, pixelSize, page);
        return kExitFailed;
    }
    QuietOffscreenPlatform();
    int argc = 1;
    char name[] = "kvt";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);  // for the caption's fonts; it opens no window

    CPdfFileSink sink(options.out);
    const PrintCaption caption{QString::fromStdString(fs::path(options.in).filename().string()),
                               QString::fromStdString(pixelSize)};
    if (!sink.Open(*layout, *pixelMm, !options.noMarks, caption)) {
        std::cerr << "kvt print: " << sink.GetError() << '\n';
        return kExitFailed;
    }
    return WriteFrames("kvt print", input, 1, sink, common);
}
}  // namespace

void AddExportCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ExportOptions>();
    CLI::App& command = commandLine.AddCommand(
        kExportCommand.name, kExportCommand.description,
        [options](const CommonOptions& common) { return RunExport(*options, common); });
    command.add_option("IN", options->in, "The stream to read")->required();
    command.add_option("-o", options->out, "The file (or numbered files) to write")->required()->type_name("OUT");
    command.add_option("--scale", options->scale, "Every pixel becomes an N x N block (default 1)")
        ->type_name("N")
        ->check(WholeNumberFrom(1, 1000));
    command.add_option("--delay", options->delayMs, "Milliseconds each frame shows (default 100)")
        ->type_name("MS")
        ->check(WholeNumberFrom(static_cast<int>(kMinDelay), static_cast<int>(kMaxDelay)));
    command.add_option("--frames", options->frames, "Frames A to B (from 0; default all)")->type_name("A..B");
}

void AddPrintCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<PrintOptions>();
    CLI::App& command = commandLine.AddCommand(
        kPrintCommand.name, kPrintCommand.description,
        [options](const CommonOptions& common) { return RunPrint(*options, common); });
    command.add_option("IN", options->in, "The stream to read")->required();
    command.add_option("-o", options->out, "The PDF to write")->required()->type_name("OUT.pdf");
    auto* subpixel = command.add_option("--subpixel", options->subpixel, "Side of a pixel, such as 0.4mm (mm, cm, in, um or pt)")
                         ->type_name("SIZE");
    auto* dpi = command.add_option("--dpi", options->dpi, "Pixels an inch")->type_name("N")->check(WholeNumberFrom(1, 100000));
    subpixel->excludes(dpi);
    command.add_option("--page", options->page, "Paper (default a4)")
        ->type_name("a4|letter")
        ->check(CLI::IsMember({"a4", "letter"}));
    command.add_option("--frames", options->frames, "Frames A to B (from 0; default all)")->type_name("A..B");
    command.add_flag("--no-marks", options->noMarks, "Leave out the registration marks");
}
