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

bool IsSavable(const CImageStream& shape, std::size_t frames)
{
    return frames != 0 && shape.GetFrameSize() == static_cast<std::uint64_t>(shape.GetWidth()) *
                                                      static_cast<std::uint64_t>(shape.GetHeight());
}

bool OpenOutput(CStreamFileWriter& writer, const fs::path& path, const CImageStream& shape,
                std::uint16_t frameCount)
{
    if (IsSavable(shape, frameCount) && writer.Open(path, shape.GetWidth(), shape.GetHeight(), frameCount))
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
