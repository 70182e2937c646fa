// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A spin control beside an edit box: its arrows, and the Up and Down keys in the edit box, step
// the number shown there within a range and write it back as plain digits.

#include <QWidget>

class QLineEdit;

class CUpDownCtrl : public QWidget {
public:
    explicit CUpDownCtrl(QWidget* parent);

    // The edit box the control writes to; its Up and Down keys step too.
    void SetBuddy(QLineEdit* pBuddy);
    void SetRange(int nLower, int nUpper);

    // Steps by nDelta from the number in the edit box (from the last position when it holds none).
    void Step(int nDelta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_pBuddy = nullptr;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};
