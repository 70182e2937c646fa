#include "cli/StreamFiles.h"

#include "framework/Message.h"
#include "stream/AtomicFile.h"
#include "stream/StreamFileWriter.h"

namespace fs = std::filesystem;

bool SaveStream(const CImageStream& stream, const fs::path& path)
{
    const bool written = WriteFileAtomically(path, [&](CArchive& ar) { return stream.Store(ar); });
    if (!written)
        ShowMessage(kFileSaveError);
    return written;
}

bool OpenOutput(CStreamFileWriter& writer, const fs::path& path, const CImageStream& shape,
                std::uint16_t frameCount)
{
    // The player's save writes only what it reads back as it is: frames, of the size the header
    // claims.
    if (frameCount != 0 && shape.HasStorableHeader() &&
        writer.Open(path, shape.GetWidth(), shape.GetHeight(), frameCount))
        return true;
    ShowMessage(kFileSaveError);
    return false;
}

bool WriteOutputFrame(CStreamFileWriter& writer, const BYTE* frame)
{
    if (writer.WriteFrame(frame))
        return true;
    ShowMessage(kFileSaveError);
    return false;
}

bool CommitOutput(CStreamFileWriter& writer)
{
    if (writer.Commit())
        return true;
    ShowMessage(kFileSaveError);
    return false;
}

FrameBuffer AllocateFrame(std::size_t bytes, std::string_view refusal)
{
    FrameBuffer frame = AllocateFrameBuffer(bytes);
    if (!frame)
        ShowMessage(refusal);
    return frame;
}
