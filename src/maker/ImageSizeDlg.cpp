// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/ImageSizeDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/DialogUnits.h"
#include "io/Message.h"
#include "maker/ImageSizeRule.h"
#include "maker/MakerStrings.h"

CImageSizeDlg::CImageSizeDlg(QWidget* parent) : QDialog(parent)
{
    using namespace maker_strings;
    const CDialogUnits du = SetUpFixedDialog(this, kImageSizeCaption, 186, 50);

    du.Place(new QLabel(kWidthLabel, this), 7, 9, 26, 8);
    m_edtWidth = new QLineEdit(this);
    du.Place(m_edtWidth, 36, 7, 70, 14);
    du.Place(new QLabel(kHeightLabel, this), 7, 29, 26, 8);
    m_edtHeight = new QLineEdit(this);
    du.Place(m_edtHeight, 36, 27, 70, 14);
    m_btnOK = new QPushButton(kOkButton, this);
    m_btnOK->setDefault(true);
    du.Place(m_btnOK, 129, 7, 50, 14);
    m_btnCancel = new QPushButton(kCancelButton, this);
    du.Place(m_btnCancel, 129, 27, 50, 14);
    setTabOrder(m_edtWidth, m_edtHeight);
    setTabOrder(m_edtHeight, m_btnOK);
    setTabOrder(m_btnOK, m_btnCancel);

    connect(m_btnOK, &QPushButton::clicked, this, &CImageSizeDlg::OnOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool CImageSizeDlg::DoModal()
{
    m_edtWidth->setText(QString::number(m_nWidth));
    m_edtHeight->setText(QString::number(m_nHeight));
    m_edtWidth->setFocus();
    m_edtWidth->selectAll();
    return exec() == QDialog::Accepted;
}

QWidget* CImageSizeDlg::Control(int id) const
{
    switch (id) {
    case 1: return m_btnOK;
    case 2: return m_btnCancel;
    case 1005: return m_edtWidth;
    case 1006: return m_edtHeight;
    default: return nullptr;
    }
}

void CImageSizeDlg::OnOK()
{
    // Height is checked first; the values change only when both are accepted, so a cancelled
    // dialog never leaves a half-entered size behind.
    std::int32_t height = 0;
    std::int32_t width = 0;
    if (!ReadSide(m_edtHeight, height) || !ReadSide(m_edtWidth, width))
        return;
    m_nHeight = height;
    m_nWidth = width;
    accept();
}

bool CImageSizeDlg::ReadSide(QLineEdit* edit, std::int32_t& side)
{
    if (const auto refusal = ReadImageSide(edit->text().toStdString(), side)) {
        ShowMessage(*refusal);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}
