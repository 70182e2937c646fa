// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wizard's first page, "KvtMaker File Input": the name of the .kvt file to make. The name shown
// in control 1001 is the one the file is created under: the typed text with ".kvt" added unless it
// already ends so.

#include <QString>

#include "maker/WizardSheet.h"

class QLabel;
class QLineEdit;
class QPushButton;

class CMakerInput : public CWizardPage {
public:
    enum { IDD = 130 };
    static constexpr int kMaxNameLength = 200;

    CMakerInput();

    QString m_strFileName;
    CWizardSheet* m_pWizard = nullptr;

    void OnSetActive() override;
    bool OnWizardNext() override;

    // Controls by their template ids, for tests.
    QWidget* Control(int id) const;

private:
    void OnFileNameChange();
    void OnBrowse();

    QLineEdit* m_edtFileName;
    QPushButton* m_btnBrowse;
    QLabel* m_stcFileName;
};
