// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Enter image size": the width and height of the raw images, each 2 to 1000. One instance serves a
// whole wizard run; it keeps the values last accepted and shows them again when reopened.

#include <QDialog>
#include <cstdint>

class QLineEdit;
class QPushButton;

class CImageSizeDlg : public QDialog {
public:
    enum { IDD = 132 };

    explicit CImageSizeDlg(QWidget* parent = nullptr);

    // Runs the dialog modally over the values last accepted; true when it ended with OK.
    bool DoModal();

    std::int32_t m_nHeight = 0;
    std::int32_t m_nWidth = 0;

    // Controls by their template ids, for tests.
    QWidget* Control(int id) const;

private:
    void OnOK();
    // Reads one edit; false after the refusal's message, with the focus on that edit.
    bool ReadSide(QLineEdit* edit, std::int32_t& side);

    QLineEdit* m_edtWidth;
    QLineEdit* m_edtHeight;
    QPushButton* m_btnOK;
    QPushButton* m_btnCancel;
};
