// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/Document.h"

#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "io/DocumentMessages.h"
#include "io/File.h"
#include "io/Message.h"

void CDocument::SetPathName(const std::filesystem::path& path)
{
    m_strPathName = path;
    m_strTitle = path.filename().string();
}

bool CDocument::OnOpenDocument(const std::filesystem::path& path, CFile* opened)
{
    CFile file;
    if (opened == nullptr && file.OpenForReading(path))
        opened = &file;
    if (opened == nullptr || !opened->IsOpen()) {
        ShowMessage(kFailedToOpenDoc);
        return false;
    }
    CArchive ar(opened->GetDescriptor(), CArchive::load);
    // Marked modified while loading, as the framework does; a successful load clears it.
    SetModifiedFlag(true);
    try {
        Serialize(ar);
    } catch (const CArchiveException& e) {
        ShowMessage(e.m_cause == CArchiveException::endOfFile ? kFailedInvalidFormat
                                                              : kFailedToOpenDoc);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const std::filesystem::path& path)
{
    bool serialized = false;
    bool wroteSomething = false;
    const bool saved = WriteFileAtomically(path, [&](CArchive& ar) {
        serialized = true;
        Serialize(ar);
        wroteSomething = ar.GetBytesWritten() > 0;
        return wroteSomething;
    });
    // Serialize has already explained a save that wrote nothing; a file that could not be created
    // or written needs the framework's message.
    if (!saved && (!serialized || wroteSomething))
        ShowMessage(kFailedToSaveDoc);
    if (saved)
        SetModifiedFlag(false);
    return saved;
}
