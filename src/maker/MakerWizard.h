// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maker wizard: an output-name page, then raw-image pages, then the .kvt file written from
// every raw page but the last.

#include <memory>

class CImageSizeDlg;
class CMakerInput;
class CWizardSheet;
class QWidget;

// Builds the wizard over `parent`, runs it and writes the file on Finish.
void RunMakerWizard(QWidget* parent);

// One run of the wizard: its sheet, pages and size dialog.
class CMakerWizard {
public:
    explicit CMakerWizard(QWidget* parent);
    ~CMakerWizard();
    CMakerWizard(const CMakerWizard&) = delete;
    CMakerWizard& operator=(const CMakerWizard&) = delete;

    // Runs the sheet modally, then Complete with its result.
    bool Run();
    // After the sheet ended with `result`: writes the file when that was Finish. True when a file
    // was written.
    bool Complete(int result) const;

    CWizardSheet& Sheet() const { return *m_pSheet; }
    CMakerInput& InputPage() const { return *m_pInput; }
    CImageSizeDlg& SizeDialog() const { return *m_pSizeDlg; }

private:
    std::unique_ptr<CWizardSheet> m_pSheet;  // owns the pages
    std::unique_ptr<CImageSizeDlg> m_pSizeDlg;
    CMakerInput* m_pInput;
};
