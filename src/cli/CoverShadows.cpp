#include "cli/CoverShadows.h"

#include <cerrno>
#include <iostream>
#include <optional>
#include <string>
#include <sys/random.h>

#include "cli/GreySecretCheck.h"
#include "cli/MatchedStream.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"
#include "vss/ExtendedShares.h"
#include "vss/KeyShare.h"
#include "vss/ShadowFrameMaker.h"
#include "vss/ShadowTitles.h"
#include "vss/VssMessages.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kCommand = "kvt shadows";

std::string Size(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// A cover may hold only black and white: a grey would show as white, and silently.
std::optional<std::string> CoverFault(const BYTE* frame, const CImageStream& header)
{
    for (int y = 0; y < header.GetHeight(); ++y) {
        const BYTE* row = frame + static_cast<std::size_t>(y) * static_cast<std::size_t>(header.GetRowStride());
        for (int x = 0; x < header.GetWidth(); ++x) {
            if (row[x] != 0 && row[x] != 255)
                return "grey " + std::to_string(row[x]) + " at (" + std::to_string(x) + ", " + std::to_string(y) +
                       "), where a cover is black and white: make it with kvt import, halftoned";
        }
    }
    return std::nullopt;
}

std::optional<std::string> KeyFault(const BYTE* frame, const CImageStream& header)
{
    const auto fault = key_share::FindKeyFault(frame, static_cast<std::size_t>(header.GetWidth() / 2),
                                               static_cast<std::size_t>(header.GetHeight() / 2));
    if (!fault)
        return std::nullopt;
    const std::size_t x = 2 * fault->blockX, y = 2 * fault->blockY;
    return "the block at (" + std::to_string(x) + ", " + std::to_string(y) + ") to (" + std::to_string(x + 1) + ", " +
           std::to_string(y + 1) + ") has " + fault->what;
}

// The secret, with the checks the basic shadows make before their first frame, and the shape of
// its shares: twice as wide and high.
bool OpenSecret(CStreamFileReader& secret, const fs::path& path, CImageStream& shape)
{
    if (!OpenInput(secret, path))
        return false;
    const CImageStream& header = secret.GetHeader();
    if (!CShadowFrameMaker::CheckSecretSize(header.GetWidth(), header.GetHeight()))
        return false;
    if (header.GetFrameCount() == 0) {
        ShowMessage(vss_messages::kShadowsNoImages);
        return false;
    }
    shape.Initialize(2 * header.GetWidth(), 2 * header.GetHeight(), header.GetFrameCount());
    return true;
}

bool SystemRandom(std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::getrandom(bytes, count, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

fs::path ShadowPath(const fs::path& dir, const fs::path& secret, int number)
{
    return dir / (ShadowTitle(secret.filename().string(), number) + ".kvt");
}
}  // namespace

int RunCoverShadows(const fs::path& secretPath, const fs::path& cover1, const fs::path& cover2, const fs::path& dir,
                    const CommonOptions& common)
{
    CStreamFileReader secret;
    CImageStream shape;
    if (!OpenSecret(secret, secretPath, shape))
        return kExitFailed;
    const CImageStream& header = secret.GetHeader();
    const int width = header.GetWidth(), height = header.GetHeight();
    const std::string hint = " (kvt import --size " + Size(width, height) + " makes one)";
    CMatchedStream covers[2] = {{kCommand, "cover", CoverFault}, {kCommand, "cover", CoverFault}};
    if (!covers[0].Open(cover1, width, height, hint) || !covers[1].Open(cover2, width, height, hint))
        return kExitFailed;

    extended_shares::CExtendedShareMaker maker;
    if (!maker.Prepare(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                       static_cast<std::size_t>(header.GetRowStride()))) {
        ShowMessage(vss_messages::kShadowsNoMemory1);
        return kExitFailed;
    }
    const FrameBuffer frame = AllocateFrame(header.GetFrameBytes(), vss_messages::kShadowsNoMemory1);
    const FrameBuffer share1 = AllocateFrame(shape.GetFrameBytes(), vss_messages::kShadowsNoMemory1);
    const FrameBuffer share2 = AllocateFrame(shape.GetFrameBytes(), vss_messages::kShadowsNoMemory2);
    const fs::path path1 = ShadowPath(dir, secretPath, 1), path2 = ShadowPath(dir, secretPath, 2);
    CStreamFileWriter out1, out2;
    if (!frame || !share1 || !share2 || !OpenOutput(out1, path1, shape, shape.GetFrameCount()) ||
        !OpenOutput(out2, path2, shape, shape.GetFrameCount()))
        return kExitFailed;

    CProgressLine progress("Making shares", shape.GetFrameCount(), common.quiet);
    CGreySecretCheck greyCheck;
    for (unsigned n = 0; n < shape.GetFrameCount(); ++n) {
        if (!secret.ReadFrame(frame.get()))
            return kExitFailed;
        const BYTE* c1 = covers[0].Next();
        const BYTE* c2 = c1 ? covers[1].Next() : nullptr;
        if (c2 == nullptr)
            return kExitFailed;
        if (!maker.Make(frame.get(), c1, c2, SystemRandom, share1.get(), share2.get())) {
            ShowMessage(vss_messages::kShadowsNoPatterns);
            return kExitFailed;
        }
        greyCheck.CountFrame(frame.get(), header);
        if (!WriteOutputFrame(out1, share1.get()) || !WriteOutputFrame(out2, share2.get()))
            return kExitFailed;
        progress.Advance(2 * std::uint64_t{shape.GetFrameSize()});
    }
    progress.Finish();
    if (!CommitOutputs({&out1, &out2}))
        return kExitFailed;
    greyCheck.Warn(std::cerr, kCommand, secretPath.string());
    std::cout << "seed: none (system random)\n" << path1.string() << '\n' << path2.string() << '\n';
    return kExitOk;
}

int RunKeyedShadow(const fs::path& secretPath, const fs::path& keyPath, const fs::path& dir,
                   const CommonOptions& common)
{
    CStreamFileReader secret;
    CImageStream shape;
    if (!OpenSecret(secret, secretPath, shape))
        return kExitFailed;
    const CImageStream& header = secret.GetHeader();
    const int width = header.GetWidth(), height = header.GetHeight();
    CMatchedStream key(kCommand, "key", KeyFault);
    if (!key.Open(keyPath, shape.GetWidth(), shape.GetHeight(), ": a first share of this secret's size"))
        return kExitFailed;

    const FrameBuffer frame = AllocateFrame(header.GetFrameBytes(), vss_messages::kShadowsNoMemory2);
    const FrameBuffer share2 = AllocateFrame(shape.GetFrameBytes(), vss_messages::kShadowsNoMemory2);
    const fs::path path2 = ShadowPath(dir, secretPath, 2);
    CStreamFileWriter out2;
    if (!frame || !share2 || !OpenOutput(out2, path2, shape, shape.GetFrameCount()))
        return kExitFailed;

    CProgressLine progress("Making a keyed share", shape.GetFrameCount(), common.quiet);
    CGreySecretCheck greyCheck;
    for (unsigned n = 0; n < shape.GetFrameCount(); ++n) {
        const BYTE* keyFrame = secret.ReadFrame(frame.get()) ? key.Next() : nullptr;
        if (keyFrame == nullptr)
            return kExitFailed;
        key_share::MakeKeyedShare(frame.get(), static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                                  static_cast<std::size_t>(header.GetRowStride()), keyFrame, share2.get());
        greyCheck.CountFrame(frame.get(), header);
        if (!WriteOutputFrame(out2, share2.get()))
            return kExitFailed;
        progress.Advance(shape.GetFrameSize());
    }
    progress.Finish();
    if (!CommitOutput(out2))
        return kExitFailed;
    // The key's randomness is all there is: each of its frames used twice gives away a difference.
    std::cerr << kCommand << ": warning: a key serves one secret: whoever holds two shares made against "
              << keyPath.string() << " can stack them and see where their secrets differ";
    if (key.GetFrameCount() < shape.GetFrameCount())
        std::cerr << "; and since it has fewer frames than " << secretPath.string()
                  << ", two frames of this share stacked show where those frames differ";
    std::cerr << ".\n";
    greyCheck.Warn(std::cerr, kCommand, secretPath.string());
    std::cout << path2.string() << '\n';
    return kExitOk;
}
