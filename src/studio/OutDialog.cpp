// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/OutDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>

#include "media/PdfPrinter.h"
#include "media/PrintLayout.h"
#include "studio/ShareSet.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kPreviewDotsPerMm = 2;  // an A4 page some 420 x 594 pixels
// The largest of the papers offered (A4's height, Letter's width), which the preview keeps room for
// from the start so that the dialog doesn't grow past the screen when a page appears.
constexpr QSizeF kLargestPageMm(216, 297);
constexpr double kPreviewScreenShare = 0.6;
const QString kUnitKey = QStringLiteral("print/unit");
const QString kSubpixelKey = QStringLiteral("print/subpixelMm");
const QString kDpiKey = QStringLiteral("print/dpi");
const QString kPageKey = QStringLiteral("print/paper");
}  // namespace

COutDialog::COutDialog(Mode mode, const CShareSet& shares, const QString& folder, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_shares(shares), m_frameSize(shares.GetFrame(0).size())
{
    const bool printing = mode == Mode::printShares;
    setWindowTitle(printing ? tr("Print the shares to PDF") : tr("Export the shares"));
    m_folder = new QLineEdit(folder);
    m_folder->setToolTip(tr("The folder the files are written into, all of them or none"));
    auto* browse = new QPushButton(tr("Browse..."));
    connect(browse, &QPushButton::clicked, this, [this] { ChooseFolder(); });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(tr("Into")));
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttons->button(QDialogButtonBox::Ok)->setText(printing ? tr("Print") : tr("Export"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printing ? CreatePrintControls() : CreateExportControls(), 1);
    layout->addLayout(folderRow);
    layout->addWidget(m_buttons);
    connect(m_choice, &QComboBox::currentIndexChanged, this, [this] { ShowChoice(); });
    ShowChoice();
    if (printing) {
        StartAtSizeThatFits();
        connect(this, &QDialog::accepted, this, [this] { RememberPrintSize(); });
    }
}

void COutDialog::StartAtSizeThatFits()
{
    if (Fits())
        return;
    const QString remembered = PixelSizeText();
    UseLargest();
    m_startNote = tr("Subpixels of %1 don't fit on %2 paper: starting at %3, the largest that fits.")
                      .arg(remembered, m_page->currentText(), PixelSizeText());
    m_startPixelMm = GetPixelMm();
    ShowPrint();
}

void COutDialog::RememberPrintSize() const
{
    QSettings settings;
    settings.setValue(kUnitKey, m_unit->currentIndex());
    settings.setValue(kSubpixelKey, m_subpixel->value());
    settings.setValue(kDpiKey, m_dpi->value());
    settings.setValue(kPageKey, m_page->currentIndex());
}

void COutDialog::AddChoiceBox(QFormLayout* form)
{
    m_choice = new QComboBox;
    m_choice->setToolTip(tr("Every share, only the checked ones, or the checked ones laid together as the reveal "
                            "shows them"));
    const int all = m_shares.GetCount();
    const auto checked = static_cast<int>(m_shares.GetChecked().size());
    m_choice->addItem(tr("All %n shares", nullptr, all), static_cast<int>(OutChoice::all));
    if (checked > 0 && checked < all)
        m_choice->addItem(tr("The %n checked shares", nullptr, checked), static_cast<int>(OutChoice::checked));
    if (checked > 1) {
        QStringList places;
        for (int i : m_shares.GetChecked())
            places << QString::number(i + 1);
        const QString list = places.join(QStringLiteral(", "));
        m_choice->addItem(m_shares.GetMode() == StackMode::stack ? tr("Shares %1 stacked, as the reveal shows them").arg(list)
                                                                 : tr("Shares %1 XORed, as the reveal shows them").arg(list),
                          static_cast<int>(OutChoice::stack));
    }
    form->addRow(tr("What"), m_choice);
}

OutChoice COutDialog::GetChoice() const
{
    return static_cast<OutChoice>(m_choice->currentData().toInt());
}

void COutDialog::ShowChoice()
{
    if (m_mode != Mode::printShares)
        return;
    const auto pages = static_cast<int>(ChooseOutItems(m_shares, GetChoice()).size());
    m_previewPage->blockSignals(true);
    m_previewPage->setRange(1, pages);
    m_previewPage->setSuffix(tr(" of %1").arg(pages));
    m_previewPage->blockSignals(false);
    ShowPrint();
}

QWidget* COutDialog::CreateExportControls()
{
    auto* controls = new QWidget;
    auto* form = new QFormLayout(controls);
    AddChoiceBox(form);
    m_format = new QComboBox;
    m_format->addItem(tr("PNG pictures, one a frame"), QStringLiteral(".png"));
    m_format->addItem(tr("GIF animation"), QStringLiteral(".gif"));
    m_format->addItem(tr("Matroska video (lossless)"), QStringLiteral(".mkv"));
    m_format->addItem(tr("MP4 video (compresses with loss)"), QStringLiteral(".mp4"));
    m_format->setToolTip(tr("A file (or numbered pictures) a share, as kvt export writes them"));
    form->addRow(tr("As"), m_format);
    m_scale = new QSpinBox;
    m_scale->setRange(1, 1000);
    m_scale->setToolTip(tr("Every pixel becomes an N x N block"));
    form->addRow(tr("Enlarged"), m_scale);
    m_delay = new QSpinBox;
    m_delay->setRange(1, 65535);
    m_delay->setValue(100);
    m_delay->setSuffix(tr(" ms"));
    m_delay->setToolTip(tr("Milliseconds each frame shows in an animation or a video"));
    form->addRow(tr("Each frame"), m_delay);
    // Pictures have no delay.
    const auto showDelay = [this] { m_delay->setEnabled(m_format->currentIndex() > 0); };
    connect(m_format, &QComboBox::currentIndexChanged, this, showDelay);
    showDelay();
    return controls;
}

QWidget* COutDialog::CreatePrintControls()
{
    auto* controls = new QWidget;
    auto* form = new QFormLayout;
    AddChoiceBox(form);
    m_unit = new QComboBox;
    m_unit->addItem(tr("Subpixel size"));
    m_unit->addItem(tr("Dots an inch"));
    m_subpixel = new QDoubleSpinBox;
    m_subpixel->setRange(0.001, 100);
    m_subpixel->setDecimals(3);
    m_subpixel->setSingleStep(0.05);
    const QSettings settings;
    m_subpixel->setValue(settings.value(kSubpixelKey, 0.4).toDouble());
    m_subpixel->setSuffix(tr(" mm"));
    m_subpixel->setToolTip(tr("The side of a printed subpixel"));
    m_dpi = new QSpinBox;
    m_dpi->setRange(1, 100000);
    m_dpi->setValue(settings.value(kDpiKey, 150).toInt());
    m_dpi->setToolTip(tr("Subpixels an inch"));
    auto* size = new QHBoxLayout;
    size->addWidget(m_unit);
    size->addWidget(m_subpixel, 1);
    size->addWidget(m_dpi, 1);
    form->addRow(tr("Size"), size);
    m_page = new QComboBox;
    m_page->addItem(tr("A4"), static_cast<int>(QPageSize::A4));
    m_page->addItem(tr("Letter"), static_cast<int>(QPageSize::Letter));
    form->addRow(tr("Paper"), m_page);
    // The size and paper of the last print: a size that doesn't fit these shares is replaced as
    // the dialog opens.
    m_unit->setCurrentIndex(std::clamp(settings.value(kUnitKey, 0).toInt(), 0, m_unit->count() - 1));
    m_page->setCurrentIndex(std::clamp(settings.value(kPageKey, 0).toInt(), 0, m_page->count() - 1));
    m_marks = new QCheckBox(tr("Registration marks"));
    m_marks->setChecked(true);
    m_marks->setToolTip(tr("Crosses around the picture, to lay printed shares on each other"));
    form->addRow(QString(), m_marks);
    m_fit = new QLabel;
    m_fit->setWordWrap(true);
    m_largest = new QPushButton;
    m_largest->setToolTip(tr("The largest subpixel with which the share fits the page"));
    m_preview = new QLabel;
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setToolTip(tr("The page of the frame on show"));
    const double screenDotsPerMm = kPreviewScreenShare * screen()->availableGeometry().height() / kLargestPageMm.height();
    m_previewDotsPerMm = std::min(kPreviewDotsPerMm, screenDotsPerMm);
    m_preview->setMinimumSize((kLargestPageMm * m_previewDotsPerMm).toSize());
    m_previewPage = new QSpinBox;
    m_previewPage->setPrefix(tr("Page "));
    m_previewPage->setToolTip(tr("The page to preview: a page a share, or the stack's, for the frame on show"));
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(m_preview, 1);
    previewColumn->addWidget(m_previewPage, 0, Qt::AlignHCenter);

    auto* layout = new QHBoxLayout(controls);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(m_fit);
    left->addWidget(m_largest);
    left->addStretch(1);
    layout->addLayout(left);
    layout->addLayout(previewColumn, 1);

    connect(m_unit, &QComboBox::currentIndexChanged, this, [this] { ShowPrint(); });
    connect(m_subpixel, &QDoubleSpinBox::valueChanged, this, [this] { ShowPrint(); });
    connect(m_dpi, &QSpinBox::valueChanged, this, [this] { ShowPrint(); });
    connect(m_page, &QComboBox::currentIndexChanged, this, [this] { ShowPrint(); });
    connect(m_marks, &QCheckBox::toggled, this, [this] { ShowPrint(); });
    connect(m_previewPage, &QSpinBox::valueChanged, this, [this] { ShowPrint(); });
    connect(m_largest, &QPushButton::clicked, this, [this] { UseLargest(); });
    return controls;
}

QPageSize::PageSizeId COutDialog::GetPage() const
{
    return static_cast<QPageSize::PageSizeId>(m_page->currentData().toInt());
}

double COutDialog::GetPixelMm() const
{
    return m_unit->currentIndex() == 0 ? m_subpixel->value() : kMmPerInch / m_dpi->value();
}

QString COutDialog::PixelSizeText() const
{
    // As kvt print captions the page.
    return m_unit->currentIndex() == 0 ? QString::number(m_subpixel->value(), 'g', 4) + QStringLiteral(" mm")
                                       : QStringLiteral("1/%1 inch").arg(m_dpi->value());
}

bool COutDialog::Fits() const
{
    return CPrintLayout::Fit(m_frameSize.width(), m_frameSize.height(), GetPixelMm(), GetPage()).has_value();
}

void COutDialog::ShowPrint()
{
    const bool bySubpixel = m_unit->currentIndex() == 0;
    m_subpixel->setVisible(bySubpixel);
    m_dpi->setVisible(!bySubpixel);
    // Why the size isn't the one asked for, until another is chosen.
    if (GetPixelMm() != m_startPixelMm)
        m_startNote.clear();
    const int width = m_frameSize.width(), height = m_frameSize.height();
    const auto layout = CPrintLayout::Fit(width, height, GetPixelMm(), GetPage());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(layout.has_value());
    m_largest->setVisible(!layout);
    m_previewPage->setEnabled(layout && m_previewPage->maximum() > 1);
    if (!layout) {
        m_fit->setText(tr("%1 x %2 subpixels of %3 do not fit on %4 paper with their marks and caption.")
                           .arg(width)
                           .arg(height)
                           .arg(PixelSizeText(), m_page->currentText()));
        m_largest->setText(bySubpixel ? tr("Use %1 mm, the largest that fits")
                                            .arg(CPrintLayout::OfferedPixelMm(width, height, GetPage()), 0, 'f', 3)
                                      : tr("Use %1 dots an inch, the largest that fits")
                                            .arg(CPrintLayout::OfferedDpi(width, height, GetPage())));
        m_preview->setPixmap(QPixmap());
        m_preview->setText(tr("No page: the share doesn't fit"));
        return;
    }
    const QSizeF picture = layout->GetPictureMm().size();
    const QString fits = tr("Each picture prints %1 x %2 mm, a page a frame.")
                             .arg(picture.width(), 0, 'f', 1)
                             .arg(picture.height(), 0, 'f', 1);
    m_fit->setText(m_startNote.isEmpty() ? fits : m_startNote + QLatin1Char('\n') + fits);
    const int pageIndex = m_previewPage->value() - 1;
    const std::vector<OutItem> items = ChooseOutItems(m_shares, GetChoice());
    const PrintCaption caption{QString::fromStdString(ItemCaption(items.at(static_cast<std::size_t>(pageIndex)))),
                               PixelSizeText()};
    const CPrintPage page(*layout, GetPixelMm(), m_marks->isChecked(), caption);
    const QImage frame = OutItemFrame(m_shares, GetChoice(), pageIndex);
    m_preview->setPixmap(
        QPixmap::fromImage(page.Render(m_previewDotsPerMm, frame, static_cast<int>(m_shares.GetIndex()))));
}

void COutDialog::UseLargest()
{
    const int width = m_frameSize.width(), height = m_frameSize.height();
    if (m_unit->currentIndex() == 0)
        m_subpixel->setValue(CPrintLayout::OfferedPixelMm(width, height, GetPage()));
    else
        m_dpi->setValue(CPrintLayout::OfferedDpi(width, height, GetPage()));
}

void COutDialog::ChooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Folder for the files"), m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(folder);
}

OutRequest COutDialog::GetRequest() const
{
    OutRequest request;
    request.items = ChooseOutItems(m_shares, GetChoice());
    request.folder = m_folder->text().toStdString();
    if (m_mode == Mode::exportShares) {
        request.kind = ExportSettings{m_format->currentData().toString().toStdString(), m_scale->value(), m_delay->value()};
    } else {
        request.kind = PrintSettings{GetPixelMm(), PixelSizeText(), GetPage(), m_marks->isChecked()};
    }
    return request;
}
