#include "cli/StreamFiles.h"

#include "framework/Message.h"
#include "stream/AtomicFile.h"
#include "stream/File.h"
#include "stream/KVTPlayerDoc.h"
#include "stream/StreamFileCheck.h"

namespace fs = std::filesystem;

std::unique_ptr<CImageStream> OpenStream(const fs::path& path)
{
    CFile file;
    if (!CheckStreamFile(path, file))
        return nullptr;
    // The player's document does the load, with the player's messages.
    CKVTPlayerDoc doc;
    if (!doc.OnOpenDocument(path, &file))
        return nullptr;
    return std::move(doc.m_pStream);
}

bool SaveStream(const CImageStream& stream, const fs::path& path)
{
    const bool written = WriteFileAtomically(path, [&](CArchive& ar) { return stream.Store(ar); });
    if (!written)
        ShowMessage("File save error");
    return written;
}
