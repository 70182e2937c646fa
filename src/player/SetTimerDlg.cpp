// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/SetTimerDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/DialogUnits.h"
#include "io/Message.h"
#include "player/DelayInput.h"
#include "player/PlayerStrings.h"
#include "player/UpDownCtrl.h"

CSetTimerDlg::CSetTimerDlg(QWidget* parent) : QDialog(parent)
{
    using namespace player_strings;
    setWindowTitle(kSetTimerCaption);
    SetCaptionFrame(this, Qt::Dialog);
    QFont font(QStringLiteral("System"));
    font.setPointSize(10);
    setFont(font);
    const CDialogUnits du(font);
    setFixedSize(du.Size(211, 55));

    // Template order, which is also the tab order. The spin control sits on the edit box's right
    // edge, which gives up the spin's width.
    m_pEdit = new QLineEdit(this);
    du.Place(m_pEdit, 50, 22, 30 - 8, 11);
    m_pSpin = new CUpDownCtrl(this);
    du.Place(m_pSpin, 50 + 30 - 8, 22, 8, 11);
    m_pSpin->SetBuddy(m_pEdit);
    auto* label = new QLabel(kSetTimerDelayLabel, this);
    du.Place(label, 7, 23, 40, 8);
    auto* unit = new QLabel(kPerThousandSeconds, this);
    du.Place(unit, 83, 23, 40, 8);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    du.Place(ok, 154, 7, 50, 14);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    du.Place(cancel, 154, 24, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CSetTimerDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSetTimerDlg::reject);
}

int CSetTimerDlg::exec()
{
    m_pEdit->setText(QString::number(m_uDelay));
    m_pSpin->SetRange(static_cast<int>(kMinDelay), static_cast<int>(kMaxDelay));
    m_pEdit->setFocus();
    m_pEdit->selectAll();
    return QDialog::exec();
}

void CSetTimerDlg::accept()
{
    if (const auto refusal = ReadDelay(m_pEdit->text().toStdString(), m_uDelay)) {
        ShowMessage(*refusal);
        m_pEdit->setFocus();
        m_pEdit->selectAll();
        return;
    }
    QDialog::accept();
}
