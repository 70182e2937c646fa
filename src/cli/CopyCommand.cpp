// kvt copy: a stream read and saved again, as the player does, a frame at a time.

#include <memory>

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "framework/Message.h"
#include "stream/AtomicFile.h"
#include "stream/StreamFileReader.h"

namespace {
struct CopyOptions {
    std::string in;
    std::string out;
};

int RunCopy(const CopyOptions& options, const CommonOptions& common)
{
    CStreamFileReader reader;
    if (!reader.Open(options.in))
        return kExitFailed;
    const CImageStream& header = reader.GetHeader();
    if (!IsSavable(header, header.GetFrameCount())) {
        ShowMessage(kFileSaveError);
        return kExitFailed;
    }
    const FrameBuffer frame = AllocateFrame(header.GetFrameBytes(), kNotEnoughMemory);
    if (!frame)
        return kExitFailed;

    // The header goes out as it came in, reserved fields included, as the player's save keeps them.
    bool readAll = true;
    CProgressLine progress("Copying", header.GetFrameCount(), common.quiet);
    const bool written = WriteFileAtomically(options.out, [&](CArchive& ar) {
        header.StoreHeader(ar);
        for (unsigned n = 0; n < header.GetFrameCount(); ++n) {
            if (!(readAll = reader.ReadFrame(frame.get())))
                return false;
            header.StoreFrameRows(ar, frame.get());
            progress.Advance(header.GetFrameSize());
        }
        return true;
    });
    progress.Finish();
    if (!readAll)
        return kExitFailed;
    if (!written)
        ShowMessage(kFileSaveError);
    return written ? kExitOk : kExitFailed;
}
}  // namespace

void AddCopyCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<CopyOptions>();
    CLI::App& copy = commandLine.AddCommand(
        "copy", "Reads IN as the player opens a file and writes it to OUT as the player saves one.",
        [options](const CommonOptions& common) { return RunCopy(*options, common); });
    copy.add_option("IN", options->in, "The stream to read")->required();
    copy.add_option("OUT", options->out, "The file to write")->required();
}
