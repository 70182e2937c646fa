// SPDX-License-Identifier: GPL-3.0-or-later
// kvt make: a .kvt file from raw images, as the maker wizard builds it.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "io/OutputCheck.h"
#include "io/Message.h"
#include "maker/ImageSizeRule.h"
#include "maker/MakerStrings.h"
#include "maker/RawStreamWriter.h"

namespace fs = std::filesystem;

namespace {
struct MakeOptions {
    std::string width;
    std::string height;
    std::string out;
    std::vector<std::string> rawFiles;
};

// Reads a side as the size dialog does; false after the refusal.
bool ReadSide(const std::string& text, const char* option, std::int32_t& side)
{
    // The size dialog's refusals are in its own language; the command line says it in English.
    if (ReadImageSide(text, side)) {
        ShowMessage("kvt make: " + std::string(option) + ": \"" + text + "\" is not a whole number from " +
                    std::to_string(kMinImageSide) + " to " + std::to_string(kMaxImageSide));
        return false;
    }
    return true;
}

int RunMake(const MakeOptions& options)
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    // --height before --width, as the size dialog checks them.
    if (!ReadSide(options.height, "--height", height) || !ReadSide(options.width, "--width", width))
        return kExitUsage;

    const std::uint64_t frameSize = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    const std::vector<fs::path> rawFiles(options.rawFiles.begin(), options.rawFiles.end());
    if (!CheckOutputs("kvt make", {options.out}, rawFiles))
        return kExitUsage;
    for (const fs::path& raw : rawFiles) {
        const RawFileFit fit = CheckRawFile(raw, frameSize);
        if (fit == RawFileFit::matches)
            continue;
        std::error_code error;
        const std::uintmax_t size = fs::file_size(raw, error);
        ShowMessage("kvt make: " + raw.string() + ": " +
                    (fit == RawFileFit::wrongSize
                         ? std::string(maker_strings::kImageSizeNotCorrect) + ": it holds " + std::to_string(size) +
                               " bytes, where a " + std::to_string(width) + " x " + std::to_string(height) +
                               " frame holds " + std::to_string(frameSize)
                         : std::string(maker_strings::kOpenFileError) + ": " + SystemReason(error.value())));
        return kExitFailed;
    }
    return WriteRawStream(options.out, width, height, rawFiles, true) ? kExitOk : kExitFailed;
}
}  // namespace

void AddMakeCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<MakeOptions>();
    CCommand make = commandLine.AddCommand(
        "make",
        "Writes OUT, a .kvt stream with one frame per RAW file, in the order given. Each RAW file is\n"
        "a headerless image of exactly W x H grey bytes; W and H are 2 to 1000. An existing OUT is\n"
        "replaced only when every frame was written.",
        [options](const CommonOptions&) { return RunMake(*options); });
    // The sides are read as text: the size dialog's rules and messages decide what is a side.
    make.AddOption("--width", options->width, "Width of every image").Required().TypeName("W");
    make.AddOption("--height", options->height, "Height of every image").Required().TypeName("H");
    make.AddOption("-o", options->out, "The file to write").Required().TypeName("OUT");
    make.AddOption("RAW", options->rawFiles, "Raw images, one frame each").Required();
}
