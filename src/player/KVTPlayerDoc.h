// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's document: one stream (a loaded file, a shadow, an interlaced stream) or, in mode 3,
// a stacked pair. The mode and streams are set before the first view exists and never change after.

#include <memory>

#include "framework/Document.h"
#include "stream/ImageStream.h"

class CCmdUI;

class CKVTPlayerDoc : public CDocument {
public:
    CKVTPlayerDoc();
    ~CKVTPlayerDoc() override;

    void Serialize(CArchive& ar) override;
    // Save and Save As are offered only for a single stream (mode 0).
    void OnUpdateFileSave(CCmdUI& ui) const;

    // 0 single stream, 1 interlaced mode 1, 2 interlaced mode 2, 3 stacked pair.
    int m_nMode = 0;
    std::unique_ptr<CImageStream> m_pStream;
    std::unique_ptr<CImageStream> m_pSecondStream;  // mode 3 only
};
