// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Select Shadows": the user picks a shadow 1 document, a shadow 2 document and how to put them
// together. The caller fills m_titles with the open documents' titles (creation order), runs the
// dialog, and after OK reads m_strShadow1, m_strShadow2, m_strSecret and m_nMode.

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class QRadioButton;

class CSelectShadowsDlg : public QDialog {
public:
    enum { IDD = 134 };
    enum Mode { kInterlaceMode1 = 1, kInterlaceMode2 = 2, kStackDirectly = 3 };

    explicit CSelectShadowsDlg(QWidget* parent = nullptr);

    // Runs the dialog modally; true when it ended with OK.
    bool DoModal();

    QComboBox* m_cmbShadow2;
    QComboBox* m_cmbShadow1;
    std::string m_strShadow1;     // chosen on OK
    std::string m_strShadow2;     // chosen on OK
    std::string m_strCurShadow1;  // the current selections
    std::string m_strCurShadow2;
    std::string m_strSecret;  // the secret whose shadows the current pair are, if it is open
    std::vector<std::string> m_titles;
    int m_nMode = kInterlaceMode1;
    bool m_bShadow1Picked = false;
    bool m_bShadow2Picked = false;

    // Controls, reachable by their template ids for tests.
    QWidget* Control(int id) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnSelChangeShadow1();
    void OnSelChangeShadow2();
    void OnModeInterlace1() { m_nMode = kInterlaceMode1; }
    void OnModeInterlace2() { m_nMode = kInterlaceMode2; }
    void OnModeStack() { m_nMode = kStackDirectly; }
    void CheckShadowPair();
    void OnOK();

    QPushButton* m_btnOK;
    QPushButton* m_btnCancel;
    QRadioButton* m_radInterlace1;
    QRadioButton* m_radStack;
    QRadioButton* m_radInterlace2;
    bool m_bInitialized = false;
};
