// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What export and print ask before they start: for an export the kind of file, the enlargement and
// the delay; for a print the size of a subpixel (or dots an inch) and the paper, with a preview of
// the page and, when the size doesn't fit, the largest that does. Both ask for the folder.

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <filesystem>
#include <vector>

#include "studio/OutJob.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class COutDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(COutDialog)

public:
    enum class Mode { exportShares, printShares };

    // `frame` is the first share's current frame, shown on the preview page; `frameIndex` its place.
    COutDialog(Mode mode, std::vector<std::filesystem::path> shares, const QImage& frame, int frameIndex,
               const QString& folder, QWidget* parent = nullptr);

    OutRequest GetRequest() const;
    // The print's subpixel in millimetres as the controls give it, and whether it fits the page.
    double GetPixelMm() const;
    bool Fits() const;

    QComboBox* GetFormatBox() const { return m_format; }
    QComboBox* GetUnitBox() const { return m_unit; }
    QDoubleSpinBox* GetSubpixelBox() const { return m_subpixel; }
    QSpinBox* GetDpiBox() const { return m_dpi; }
    QComboBox* GetPageBox() const { return m_page; }
    QPushButton* GetLargestButton() const { return m_largest; }
    QLabel* GetPreview() const { return m_preview; }
    QLabel* GetFitLabel() const { return m_fit; }

private:
    QWidget* CreateExportControls();
    QWidget* CreatePrintControls();
    QPageSize::PageSizeId GetPage() const;
    QString PixelSizeText() const;
    void ShowPrint();
    void UseLargest();
    void ChooseFolder();

    Mode m_mode;
    std::vector<std::filesystem::path> m_shares;
    QImage m_frame;
    int m_frameIndex;

    QComboBox* m_format = nullptr;
    QSpinBox* m_scale = nullptr;
    QSpinBox* m_delay = nullptr;
    QComboBox* m_unit = nullptr;
    QDoubleSpinBox* m_subpixel = nullptr;
    QSpinBox* m_dpi = nullptr;
    QComboBox* m_page = nullptr;
    QCheckBox* m_marks = nullptr;
    QLabel* m_fit = nullptr;
    QPushButton* m_largest = nullptr;
    QLabel* m_preview = nullptr;
    QLineEdit* m_folder;
    QDialogButtonBox* m_buttons;
};
