// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A child window of the main frame: one player view of one document.

#include "framework/DocTemplate.h"

class CCommandRouter;
class CKVTPlayerDoc;
class CKVTPlayerView;

class CChildFrame : public CMDIChildWnd {
public:
    CChildFrame(CMultiDocTemplate& docTemplate, CKVTPlayerDoc& doc, CCommandRouter& router);

    CKVTPlayerView& GetView() const { return *m_pView; }
    void OnInitialUpdate() override;

private:
    CKVTPlayerView* m_pView;  // owned by the frame as its widget
};
