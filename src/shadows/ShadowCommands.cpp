// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadows/ShadowCommands.h"

#include <QApplication>
#include <memory>
#include <new>

#include "framework/DocTemplate.h"
#include "framework/ProgressDlg.h"
#include "io/Message.h"
#include "player/KVTPlayerDoc.h"
#include "shadows/SelectShadowsDlg.h"
#include "shadows/VssStrings.h"
#include "vss/PatternSource.h"
#include "vss/ShadowTitles.h"
#include "vss/StreamStacking.h"

namespace {
CKVTPlayerDoc* NewDocument(CMultiDocTemplate& docTemplate)
{
    return static_cast<CKVTPlayerDoc*>(docTemplate.CreateNewDocument());
}

std::unique_ptr<CImageStream> NewStream()
{
    return std::unique_ptr<CImageStream>(new (std::nothrow) CImageStream);
}

// The stream of the last document, in creation order, titled `title`.
const CImageStream* StreamTitled(const CMultiDocTemplate& docTemplate, const std::string& title)
{
    const CImageStream* stream = nullptr;
    for (CDocument* doc : docTemplate.GetDocuments())
        if (doc->GetTitle() == title)
            stream = static_cast<CKVTPlayerDoc*>(doc)->m_pStream.get();
    return stream;
}
}  // namespace

CShadowCommands::CShadowCommands(CMultiDocTemplate* pTemplate)
    : m_pTemplate(pTemplate), m_runDialog([](CSelectShadowsDlg& dlg) { return dlg.DoModal(); })
{
}

void CShadowCommands::OnCreateShadows()
{
    if (m_pTemplate == nullptr || m_pTemplate->GetDocuments().empty())
        return;
    CKVTPlayerDoc* shadow1 = NewDocument(*m_pTemplate);
    CKVTPlayerDoc* shadow2 = NewDocument(*m_pTemplate);
    const auto abandon = [&] {
        m_pTemplate->CloseDocument(*shadow1);
        m_pTemplate->CloseDocument(*shadow2);
    };
    auto* secret = static_cast<CKVTPlayerDoc*>(m_pTemplate->GetActiveDocument());
    if (secret == nullptr) {
        // Every open document lives only in memory until saved: report and leave them be.
        ShowMessage("secDoc is NULL");
        abandon();
        return;
    }
    shadow1->SetTitle(ShadowTitle(secret->GetTitle(), 1));
    shadow2->SetTitle(ShadowTitle(secret->GetTitle(), 2));
    if (!secret->m_pStream) {
        abandon();
        return;
    }
    shadow1->m_pStream = std::make_unique<CImageStream>();
    shadow2->m_pStream = std::make_unique<CImageStream>();
    // Whatever the generation placed in the streams is shown, even after its message.
    {
        CProgressDlg progress(QApplication::activeWindow(), vss_strings::kCreatingShadows);
        CSecurePatternSource source;
        secret->m_pStream->CreateVSSShadows(shadow1->m_pStream.get(), shadow2->m_pStream.get(), source);
    }
    m_pTemplate->ShowNewFrame(*shadow1);
    m_pTemplate->ShowNewFrame(*shadow2);
}

void CShadowCommands::OnStackShadows()
{
    if (m_pTemplate == nullptr || m_pTemplate->GetDocuments().empty())
        return;
    CSelectShadowsDlg dlg(QApplication::activeWindow());  // owned by the main window, as a modal box is
    for (CDocument* doc : m_pTemplate->GetDocuments())
        dlg.m_titles.push_back(doc->GetTitle());
    if (!m_runDialog(dlg) || dlg.m_strShadow1.empty() || dlg.m_strShadow2.empty())
        return;
    const CImageStream* pShadow1 = StreamTitled(*m_pTemplate, dlg.m_strShadow1);
    const CImageStream* pShadow2 = StreamTitled(*m_pTemplate, dlg.m_strShadow2);
    if (pShadow1 == nullptr || pShadow2 == nullptr)
        return;

    CKVTPlayerDoc* doc = NewDocument(*m_pTemplate);
    if (doc == nullptr)
        return;
    CProgressDlg progress(QApplication::activeWindow(), vss_strings::kStackingShadows);
    bool made = false;
    switch (dlg.m_nMode) {
    case CSelectShadowsDlg::kInterlaceMode1:
        doc->m_nMode = 1;
        doc->m_pStream = NewStream();
        doc->SetTitle(InterlacedTitle(dlg.m_strSecret, 1));
        made = doc->m_pStream && doc->m_pStream->InterlaceMode1(pShadow1, pShadow2);
        break;
    case CSelectShadowsDlg::kInterlaceMode2: {
        // A fresh pair of the secret joins the chosen one; no document keeps it.
        const auto fresh1 = NewStream();
        const auto fresh2 = NewStream();
        doc->m_nMode = 2;
        doc->m_pStream = NewStream();
        doc->SetTitle(InterlacedTitle(dlg.m_strSecret, 2));
        if (!fresh1 || !fresh2 || !doc->m_pStream)
            break;
        for (CDocument* open : m_pTemplate->GetDocuments()) {
            auto* secret = static_cast<CKVTPlayerDoc*>(open);
            if (open->GetTitle() != dlg.m_strSecret)
                continue;
            if (secret->m_pStream) {
                CSecurePatternSource source;
                secret->m_pStream->CreateVSSShadows(fresh1.get(), fresh2.get(), source);
            }
            break;
        }
        made = doc->m_pStream->InterlaceMode2(pShadow1, pShadow2, fresh1.get(), fresh2.get());
        break;
    }
    default:
        if (!CheckStackingFrameSizes(*pShadow1, *pShadow2))
            break;
        doc->m_nMode = 3;
        doc->m_pStream = NewStream();
        doc->m_pSecondStream = NewStream();
        made = doc->m_pStream && doc->m_pSecondStream && doc->m_pStream->CopyStream(pShadow1) &&
               doc->m_pSecondStream->CopyStream(pShadow2);
        doc->SetTitle(std::string(kStackedTitle));
        break;
    }
    if (made)
        m_pTemplate->ShowNewFrame(*doc);
    else
        m_pTemplate->CloseDocument(*doc);
}
