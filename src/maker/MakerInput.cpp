// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/MakerInput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "framework/DialogUnits.h"
#include "io/Message.h"
#include "maker/MakerFileDialog.h"
#include "maker/MakerPageLayout.h"
#include "maker/MakerStrings.h"

CMakerInput::CMakerInput() : CWizardPage(maker_strings::kInputCaption)
{
    using namespace maker_strings;
    setObjectName(QStringLiteral("CMakerInput"));
    const CDialogUnits du = SetUpMakerPage(this);
    du.Place(new QLabel(kInputFileNameLabel, this), 7, 12, 62, 8);
    m_edtFileName = new QLineEdit(this);
    m_edtFileName->setMaxLength(kMaxNameLength);
    du.Place(m_edtFileName, 72, 10, 120, 14);
    m_btnBrowse = new QPushButton(kBrowseButton, this);
    du.Place(m_btnBrowse, 198, 10, 50, 14);
    du.Place(new QLabel(kOutputNameLabel, this), 7, 36, 62, 8);
    m_stcFileName = MakeNameArea(this);
    du.Place(m_stcFileName, 72, 36, 176, 30);

    connect(m_edtFileName, &QLineEdit::textChanged, this, &CMakerInput::OnFileNameChange);
    connect(m_btnBrowse, &QPushButton::clicked, this, &CMakerInput::OnBrowse);
}

QWidget* CMakerInput::Control(int id) const
{
    switch (id) {
    case 1000: return m_edtFileName;
    case 1001: return m_stcFileName;
    case 1002: return m_btnBrowse;
    default: return nullptr;
    }
}

void CMakerInput::OnSetActive()
{
    m_pWizard->SetWizardButtons(CWizardSheet::PSWIZB_NEXT | CWizardSheet::PSWIZB_DISABLEDFINISH);
}

bool CMakerInput::OnWizardNext()
{
    if (m_strFileName.isEmpty()) {
        ShowMessage(maker_strings::kPleaseInputFileName);
        return false;
    }
    return true;
}

void CMakerInput::OnFileNameChange()
{
    m_strFileName = m_edtFileName->text();
    if (!m_strFileName.isEmpty() && !m_strFileName.endsWith(QStringLiteral(".kvt"), Qt::CaseInsensitive))
        m_strFileName += QStringLiteral(".kvt");
    m_stcFileName->setText(m_strFileName);
}

void CMakerInput::OnBrowse()
{
    const auto path = ShowFileDialog(this, {CFileDialogRequest::saveAs, maker_strings::kKvtFilter,
                                            maker_strings::kKvtSuffix});
    if (!path || path->isEmpty())
        return;
    m_stcFileName->setText(*path);
    // The typing limit must not cut a longer chosen path: the file would be made elsewhere.
    m_edtFileName->setMaxLength(std::max<int>(kMaxNameLength, static_cast<int>(path->size())));
    m_edtFileName->setText(*path);
}
