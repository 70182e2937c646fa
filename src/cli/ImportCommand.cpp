// SPDX-License-Identifier: GPL-3.0-or-later
// kvt import: pictures or a video made into a black-and-white stream, ready to be split into shadows.

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>


#include "cli/Commands.h"
#include "cli/MediaCommands.h"
#include "cli/NumberOptions.h"
#include "io/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "cli/ToneOptions.h"
#include "io/Message.h"
#include "media/FrameImport.h"
#include "media/LibraryMessages.h"
#include "stream/KvtFormat.h"
#include "stream/StreamFileWriter.h"

namespace fs = std::filesystem;

namespace {
constexpr double kMaxFps = 1000;          // the player's shortest delay is 1 ms
constexpr double kMaxSeconds = 1000000;   // of a video: 11 days

struct ImportOptions {
    std::vector<std::string> inputs;
    std::string out;
    std::optional<std::string> size;
    std::string fit = "contain";
    std::optional<std::string> dither;
    std::optional<int> threshold;
    bool invert = false;
    ToneOptions tone;
    VideoRange range;
};

// "WxH" with both sides positive numbers.
std::optional<QSize> ParseSize(const std::string& text)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos)
        return std::nullopt;
    int sides[2] = {};
    const std::string_view parts[2] = {std::string_view(text).substr(0, cross), std::string_view(text).substr(cross + 1)};
    for (int i = 0; i < 2; ++i) {
        const auto [stop, error] = std::from_chars(parts[i].data(), parts[i].data() + parts[i].size(), sides[i]);
        if (parts[i].empty() || error != std::errc() || stop != parts[i].data() + parts[i].size())
            return std::nullopt;
    }
    return QSize(sides[0], sides[1]);
}

// Through the message routine, which clears the progress line first.
int Refuse(const std::string& what)
{
    ShowMessage("kvt import: " + what);
    return kExitFailed;
}

int RunImport(const ImportOptions& options, const CommonOptions& common)
{
    std::optional<QSize> size;
    if (options.size && !(size = ParseSize(*options.size))) {
        ShowMessage("kvt import: --size takes WxH, for example 320x240");
        return kExitUsage;
    }
    if (options.threshold && options.dither && *options.dither != "threshold") {
        ShowMessage("kvt import: --threshold goes with --dither threshold");
        return kExitUsage;
    }
    ImportSettings settings;
    if (!ReadToneOptions(options.tone, settings.tone))
        return kExitUsage;
    settings.tone.invert = options.invert;
    settings.size = size;
    settings.fit = *ParseFitMode(options.fit);
    settings.dither = options.threshold ? DitherMethod::threshold : std::optional<DitherMethod>();
    if (options.dither)
        settings.dither = ParseDitherMethod(*options.dither);
    settings.threshold = options.threshold.value_or(kDefaultThreshold);
    settings.range = options.range;
    CLibraryMessages libraryMessages("kvt import");
    // The picture's own refusal says this, with its size.
    libraryMessages.Ignore("exceeds the current allocation limit");

    const std::vector<fs::path> inputs(options.inputs.begin(), options.inputs.end());
    if (!CheckOutputs("kvt import", {options.out}, inputs, ".kvt"))
        return kExitUsage;
    CFrameImport import;
    switch (import.Open(inputs, settings)) {
    case ImportRefusal::none:
        break;
    case ImportRefusal::size:
        return Refuse((size ? std::string("--size") : inputs.front().string()) + ": " + import.GetError());
    case ImportRefusal::source:
    case ImportRefusal::tooManyFrames:
        return Refuse(import.GetError());
    }
    const QSize frameSize = import.GetFrameSize();
    const std::uint64_t expected = import.GetExpectedFrameCount();
    CStreamFileWriter writer;
    if (!writer.Open(options.out, frameSize.width(), frameSize.height(), 0, expected))
        return Refuse(options.out + ": " + writer.GetError());

    CProgressLine progress("Importing", expected, common.quiet);
    QImage frame;
    FrameRead read;
    while ((read = import.ReadFrame(frame)) == FrameRead::frame) {
        if (!writer.WriteFrame(frame.constBits()))
            return Refuse(options.out + ": " + writer.GetError());
        progress.Advance(static_cast<std::uint64_t>(frameSize.width()) * frameSize.height());
    }
    progress.Finish();
    if (read == FrameRead::failed)
        return Refuse(import.GetError());
    const std::uint64_t written = import.GetFrameCount();
    if (written == 0)
        return Refuse(inputs.front().string() + ": no frames between --start and the end");
    if (!writer.Commit())
        return Refuse(options.out + ": " + writer.GetError());
    std::cout << options.out << ": " << written << (written == 1 ? " frame of " : " frames of ")
              << frameSize.width() << "x" << frameSize.height() << ", " << DitherMethodName(import.GetDitherMethod()) << '\n';
    return kExitOk;
}
}  // namespace

void AddImportCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<ImportOptions>();
    CCommand import = commandLine.AddCommand(
        kImportCommand.name, kImportCommand.description,
        [options](const CommonOptions& common) { return RunImport(*options, common); });
    import.AddOption("INPUT", options->inputs, "Pictures, or one video").Required();
    import.AddOption("-o", options->out, "The file to write").Required().TypeName("OUT");
    import.AddOption("--size", options->size, "Frame size (default: the first input's)").TypeName("WxH");
    import.AddOption("--fit", options->fit, "How a picture of another shape fills the frame (default: contain)")
        .Check(COptionCheck::OneOf({"contain", "cover", "stretch"}))
        .TypeName("MODE");
    import.AddOption("--dither", options->dither, "Halftoning; none keeps the greys")
        .Check(COptionCheck::OneOf(DitherMethodNames()))
        .TypeName("METHOD");
    import.AddOption("--threshold", options->threshold, "With --dither threshold: greys below T black (default 128)")
        .Check(WholeNumberFrom(1, 255))
        .TypeName("T");
    AddToneOptions(import, options->tone);
    import.AddFlag("--invert", options->invert, "Black for white and white for black");
    import.AddOption("--fps", options->range.fps, "Video: frames a second, the frame nearest each instant")
        .Check(NumberAbove(0, kMaxFps))
        .TypeName("N");
    import.AddOption("--start", options->range.start, "Video: seconds to skip")
        .Check(NumberFrom(0, kMaxSeconds))
        .TypeName("S");
    import.AddOption("--duration", options->range.duration, "Video: seconds to import")
        .Check(NumberAbove(0, kMaxSeconds))
        .TypeName("D");
}
