// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/MakerWizard.h"

#include <vector>

#include "maker/ImageSizeDlg.h"
#include "maker/MakerFileDialog.h"
#include "maker/MakerInput.h"
#include "maker/MakerOpen.h"
#include "maker/RawStreamWriter.h"
#include "maker/WizardSheet.h"

void RunMakerWizard(QWidget* parent)
{
    CMakerWizard(parent).Run();
}

CMakerWizard::CMakerWizard(QWidget* parent)
    : m_pSheet(std::make_unique<CWizardSheet>(parent)),
      m_pSizeDlg(std::make_unique<CImageSizeDlg>(m_pSheet.get()))
{
    auto input = std::make_unique<CMakerInput>();
    input->m_pWizard = m_pSheet.get();
    m_pInput = input.get();
    auto firstRaw = std::make_unique<CMakerOpen>();
    firstRaw->m_pWizard = m_pSheet.get();
    firstRaw->m_bAskSize = true;
    firstRaw->m_pSizeDlg = m_pSizeDlg.get();
    m_pSheet->AddPage(std::move(input));
    m_pSheet->AddPage(std::move(firstRaw));
}

// The size dialog is a child of the sheet: it goes first, as the members' order gives.
CMakerWizard::~CMakerWizard() = default;

bool CMakerWizard::Run()
{
    return Complete(m_pSheet->DoModal());
}

bool CMakerWizard::Complete(int result) const
{
    if (result != CWizardSheet::ID_WIZFINISH)
        return false;
    // Every raw page but the last holds a frame.
    std::vector<std::filesystem::path> rawFiles;
    for (int i = 1; i + 1 < m_pSheet->GetPageCount(); ++i)
        rawFiles.push_back(LocalPath(static_cast<CMakerOpen*>(m_pSheet->GetPage(i))->m_strFileName));
    return WriteRawStream(LocalPath(m_pInput->m_strFileName), m_pSizeDlg->m_nWidth, m_pSizeDlg->m_nHeight,
                          rawFiles);
}
