// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/UpDownCtrl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

CUpDownCtrl::CUpDownCtrl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const int nDelta : {1, -1}) {
        auto* button = new QToolButton(this);
        button->setArrowType(nDelta > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        connect(button, &QToolButton::clicked, this, [this, nDelta] { Step(nDelta); });
        layout->addWidget(button);
    }
}

void CUpDownCtrl::SetBuddy(QLineEdit* pBuddy)
{
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = pBuddy;
    m_pBuddy->installEventFilter(this);
}

void CUpDownCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
}

void CUpDownCtrl::Step(int nDelta)
{
    if (m_pBuddy) {
        bool bNumber = false;
        const int nShown = m_pBuddy->text().trimmed().toInt(&bNumber);
        if (bNumber)
            m_nPos = nShown;
    }
    // Into the range before the step, so that a typed INT_MAX or INT_MIN can't overflow.
    m_nPos = std::clamp(std::clamp(m_nPos, m_nLower, m_nUpper) + nDelta, m_nLower, m_nUpper);
    if (m_pBuddy) {
        m_pBuddy->setText(QString::number(m_nPos));  // plain digits, which the dialog's check reads
        m_pBuddy->selectAll();
    }
}

bool CUpDownCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(event)->key();
        if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
            Step(nKey == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
