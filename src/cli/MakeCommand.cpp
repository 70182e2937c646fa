// kvt make: a .kvt file from raw images, as the maker wizard builds it.

#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "framework/Message.h"
#include "maker/ImageSizeRule.h"
#include "maker/MakerStrings.h"
#include "maker/RawStreamWriter.h"

namespace fs = std::filesystem;

namespace {
// Reads --height before --width, as the size dialog does; false after the refusal.
bool ReadSide(const Arguments& args, const char* option, std::int32_t& side)
{
    if (const auto refusal = ReadImageSide(args.Get(option), side)) {
        std::cerr << "kvt make: " << option << ": ";
        ShowMessage(*refusal);
        return false;
    }
    return true;
}

int RunMake(const Arguments& args)
{
    if (!args.Has("-o") || !args.Has("--width") || !args.Has("--height")) {
        std::cerr << "kvt make: --width W, --height H and -o OUT are required\n";
        return kExitUsage;
    }
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!ReadSide(args, "--height", height) || !ReadSide(args, "--width", width))
        return kExitUsage;

    const std::uint64_t frameSize = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    std::vector<fs::path> rawFiles(args.positional.begin(), args.positional.end());
    for (const fs::path& raw : rawFiles) {
        const RawFileFit fit = CheckRawFile(raw, frameSize);
        if (fit == RawFileFit::matches)
            continue;
        std::cerr << "kvt make: " << raw.string() << ": ";
        ShowMessage(fit == RawFileFit::wrongSize ? maker_strings::kImageSizeNotCorrect
                                                 : maker_strings::kOpenFileError);
        return kExitFailed;
    }
    return WriteRawStream(args.Get("-o"), width, height, rawFiles) ? kExitOk : kExitFailed;
}
}  // namespace

std::vector<Command> MakeCommands()
{
    return {
        {"make", "--width W --height H -o OUT RAW...",
         "Writes OUT, a .kvt stream with one frame per RAW file, in the order given. Each RAW file is\n"
         "a headerless image of exactly W x H grey bytes; W and H are 2 to 1000. An existing OUT is\n"
         "replaced only when every frame was written.",
         {"--width", "--height", "-o"}, 1, SIZE_MAX, RunMake},
    };
}
