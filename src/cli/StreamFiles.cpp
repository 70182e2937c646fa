#include "cli/StreamFiles.h"

#include "framework/FrameworkStrings.h"
#include "framework/Message.h"
#include "stream/Archive.h"
#include "stream/AtomicFile.h"
#include "stream/StreamFileCheck.h"

namespace fs = std::filesystem;

std::unique_ptr<CImageStream> OpenStream(const fs::path& path)
{
    if (!CheckStreamFile(path))
        return nullptr;
    auto stream = std::make_unique<CImageStream>();
    try {
        CArchive ar(path, CArchive::load);
        if (!ar.IsOpen()) {
            ShowMessage("Create document error");
            return nullptr;
        }
        if (!stream->Load(ar))
            return nullptr;
    } catch (const CArchiveException&) {
        ShowMessage(framework_strings::kFailedInvalidFormat);
        return nullptr;
    }
    return stream;
}

bool SaveStream(const CImageStream& stream, const fs::path& path)
{
    const bool written = WriteFileAtomically(path, [&](CArchive& ar) { return stream.Store(ar); });
    if (!written)
        ShowMessage("File save error");
    return written;
}
