// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SetTimer dialog: the playback delay typed in milliseconds, 1 to 3000, or spun there.

#include <QDialog>

#include "framework/TimerService.h"

class QLineEdit;
class CUpDownCtrl;

class CSetTimerDlg : public QDialog {
public:
    explicit CSetTimerDlg(QWidget* parent = nullptr);

    // Shown in the edit box when the dialog opens; the accepted value after OK.
    UINT m_uDelay = 1;

    QLineEdit* GetEdit() const { return m_pEdit; }
    CUpDownCtrl* GetSpin() const { return m_pSpin; }

    int exec() override;
    // OK: a value the check refuses is reported and keeps the dialog open, focus in the edit box.
    void accept() override;

private:
    QLineEdit* m_pEdit;
    CUpDownCtrl* m_pSpin;
};
