// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KVTPlayerDoc.h"

#include <new>

#include "framework/CommandIds.h"
#include "io/Archive.h"
#include "io/Message.h"
#include "stream/StreamMessages.h"

CKVTPlayerDoc::CKVTPlayerDoc()
{
    OnUpdateCommandId(cmd::ID_FILE_SAVE, [this](CCmdUI& ui) { OnUpdateFileSave(ui); });
    OnUpdateCommandId(cmd::ID_FILE_SAVE_AS, [this](CCmdUI& ui) { OnUpdateFileSave(ui); });
}

CKVTPlayerDoc::~CKVTPlayerDoc() = default;

void CKVTPlayerDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (m_pStream && !m_pStream->Store(ar))
            ShowMessage(kFileSaveError);
        return;
    }
    if (!m_pStream)
        m_pStream.reset(new (std::nothrow) CImageStream);
    if (!m_pStream) {
        ShowMessage("Open document error");
        return;
    }
    if (m_pStream->Load(ar))
        return;
    // The document stays open without a stream; Load has said what was wrong.
    m_pStream->Clear();
    m_pStream.reset();
}

void CKVTPlayerDoc::OnUpdateFileSave(CCmdUI& ui) const
{
    ui.Enable(m_nMode < 1);
}
