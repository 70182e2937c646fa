// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/MakerOpen.h"

#include <QLabel>
#include <QPushButton>

#include "io/Message.h"
#include "maker/ImageSizeDlg.h"
#include "maker/MakerFileDialog.h"
#include "maker/MakerPageLayout.h"
#include "maker/MakerStrings.h"
#include "maker/RawStreamWriter.h"

CMakerOpen::CMakerOpen() : CWizardPage(maker_strings::kOpenCaption)
{
    using namespace maker_strings;
    setObjectName(QStringLiteral("CMakerOpen"));
    const CDialogUnits du = SetUpMakerPage(this);
    m_btnInsert = new QPushButton(kInsertFileButton, this);
    du.Place(m_btnInsert, 7, 10, 72, 14);
    du.Place(new QLabel(kRawNameLabel, this), 7, 36, 40, 8);
    m_stcFileName = MakeNameArea(this);
    du.Place(m_stcFileName, 50, 36, 198, 30);

    connect(m_btnInsert, &QPushButton::clicked, this, &CMakerOpen::OnInsertFile);
}

QWidget* CMakerOpen::Control(int id) const
{
    switch (id) {
    case 1003: return m_btnInsert;
    case 1004: return m_stcFileName;
    default: return nullptr;
    }
}

void CMakerOpen::OnSetActive()
{
    const int finish = m_strFileName.isEmpty() ? CWizardSheet::PSWIZB_DISABLEDFINISH : CWizardSheet::PSWIZB_FINISH;
    m_pWizard->SetWizardButtons(CWizardSheet::PSWIZB_BACK | CWizardSheet::PSWIZB_NEXT | finish);
}

bool CMakerOpen::OnWizardNext()
{
    if (m_strFileName.isEmpty()) {
        ShowMessage(maker_strings::kPleaseInputFileName);
        return false;
    }
    if (IsLastPage())
        AppendPage(m_nFrameSize);
    return true;
}

bool CMakerOpen::OnWizardFinish()
{
    // Finishing here writes this page's file too: only the pages before the last are written.
    if (IsLastPage())
        AppendPage(0);
    return true;
}

void CMakerOpen::OnInsertFile()
{
    const auto path = ShowFileDialog(this, {CFileDialogRequest::open, maker_strings::kRawFilter,
                                            maker_strings::kRawSuffix});
    if (!path)
        return;
    if (m_bAskSize) {
        if (!m_pSizeDlg->DoModal())
            return;  // the page keeps its file and size
        m_nFrameSize = m_pSizeDlg->m_nWidth * m_pSizeDlg->m_nHeight;
    }
    m_strFileName = *path;

    switch (CheckRawFile(LocalPath(m_strFileName), static_cast<std::uint64_t>(m_nFrameSize))) {
    case RawFileFit::unknownSize:
        // Nothing to check against; writing the stream reports the file if it still can't be read.
        return;
    case RawFileFit::wrongSize:
        ShowMessage(maker_strings::kImageSizeNotCorrect);
        m_strFileName.clear();
        return;
    case RawFileFit::matches:
        m_stcFileName->setText(m_strFileName);
        m_pWizard->SetWizardButtons(CWizardSheet::PSWIZB_BACK | CWizardSheet::PSWIZB_NEXT |
                                    CWizardSheet::PSWIZB_FINISH);
        return;
    }
}

bool CMakerOpen::IsLastPage() const
{
    return m_pWizard->GetPageIndex(this) == m_pWizard->GetPageCount() - 1;
}

void CMakerOpen::AppendPage(std::int32_t frameSize)
{
    auto page = std::make_unique<CMakerOpen>();
    page->m_pWizard = m_pWizard;
    page->m_nFrameSize = frameSize;
    m_pWizard->AddPage(std::move(page));
}
