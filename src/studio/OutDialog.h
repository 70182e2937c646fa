// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What export and print ask before they start: which shares (all, the checked ones, or their stack);
// for an export the kind of file, the enlargement and the delay; for a print the size of a subpixel
// (or dots an inch) and the paper, with a preview of each page and, when the size doesn't fit, the
// largest that does. Both ask for the folder. A print starts at the last print's size and paper.

#include <QCoreApplication>
#include <QDialog>

#include "studio/OutChoice.h"
#include "studio/OutJob.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class CShareSet;

class COutDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(COutDialog)

public:
    enum class Mode { exportShares, printShares };

    // The preview shows the shares' frame on show; `shares` outlives the dialog.
    COutDialog(Mode mode, const CShareSet& shares, const QString& folder, QWidget* parent = nullptr);

    OutRequest GetRequest() const;
    // The print's subpixel in millimetres as the controls give it, and whether it fits the page.
    double GetPixelMm() const;
    bool Fits() const;

    OutChoice GetChoice() const;
    QComboBox* GetChoiceBox() const { return m_choice; }
    QSpinBox* GetPreviewPageBox() const { return m_previewPage; }
    QComboBox* GetFormatBox() const { return m_format; }
    QComboBox* GetUnitBox() const { return m_unit; }
    QDoubleSpinBox* GetSubpixelBox() const { return m_subpixel; }
    QSpinBox* GetDpiBox() const { return m_dpi; }
    QComboBox* GetPageBox() const { return m_page; }
    QPushButton* GetLargestButton() const { return m_largest; }
    QLabel* GetPreview() const { return m_preview; }
    QLabel* GetFitLabel() const { return m_fit; }

private:
    void AddChoiceBox(QFormLayout* form);
    QWidget* CreateExportControls();
    QWidget* CreatePrintControls();
    QPageSize::PageSizeId GetPage() const;
    QString PixelSizeText() const;
    void ShowChoice();
    void ShowPrint();
    void UseLargest();
    // The remembered size, or the largest that fits when it doesn't, saying so.
    void StartAtSizeThatFits();
    void RememberPrintSize() const;
    void ChooseFolder();

    Mode m_mode;
    const CShareSet& m_shares;
    QSize m_frameSize;
    double m_previewDotsPerMm = 1;

    QComboBox* m_choice = nullptr;
    QSpinBox* m_previewPage = nullptr;

    QComboBox* m_format = nullptr;
    QSpinBox* m_scale = nullptr;
    QSpinBox* m_delay = nullptr;
    QComboBox* m_unit = nullptr;
    QDoubleSpinBox* m_subpixel = nullptr;
    QSpinBox* m_dpi = nullptr;
    QComboBox* m_page = nullptr;
    QCheckBox* m_marks = nullptr;
    QLabel* m_fit = nullptr;
    QString m_startNote;
    double m_startPixelMm = 0;
    QPushButton* m_largest = nullptr;
    QLabel* m_preview = nullptr;
    QLineEdit* m_folder;
    QDialogButtonBox* m_buttons;
};
