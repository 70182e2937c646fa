// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A raw-image page, "KvtMaker File Open": one raw file, one frame of the stream. The wizard holds
// one more of these than files to write; Next and Finish on the last one append a fresh page, so
// that the last page stays empty in normal use.

#include <QString>
#include <cstdint>

#include "maker/WizardSheet.h"

class CImageSizeDlg;
class QLabel;
class QPushButton;

class CMakerOpen : public CWizardPage {
public:
    enum { IDD = 131 };

    CMakerOpen();

    QString m_strFileName;  // the full path of the page's raw file; empty when it has none
    std::int32_t m_nFrameSize = 0;  // bytes a raw file must have
    CImageSizeDlg* m_pSizeDlg = nullptr;  // the first raw page's only
    bool m_bAskSize = false;  // the first raw page asks for the size on every insertion
    CWizardSheet* m_pWizard = nullptr;

    void OnSetActive() override;
    bool OnWizardNext() override;
    bool OnWizardFinish() override;

    // Controls by their template ids, for tests.
    QWidget* Control(int id) const;

private:
    void OnInsertFile();
    bool IsLastPage() const;
    // A fresh raw page at the end of the wizard, checking against `frameSize`.
    void AppendPage(std::int32_t frameSize);

    QPushButton* m_btnInsert;
    QLabel* m_stcFileName;
};
