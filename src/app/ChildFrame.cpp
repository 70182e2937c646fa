// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChildFrame.h"

#include <QIcon>

#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"

CChildFrame::CChildFrame(CMultiDocTemplate& docTemplate, CKVTPlayerDoc& doc, CCommandRouter& router)
    : CMDIChildWnd(docTemplate, doc), m_pView(new CKVTPlayerView(&doc, &router, this))
{
    setObjectName(QStringLiteral("CChildFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/document.png")));
    SetView(m_pView, m_pView);
}

void CChildFrame::OnInitialUpdate()
{
    m_pView->OnInitialUpdate();
}
