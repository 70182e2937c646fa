// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/SourcePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "studio/ElidedLabel.h"
#include "studio/ImageView.h"
#include "studio/StudioSession.h"

namespace {
QDoubleSpinBox* SecondsBox(double max, const QString& special, const QString& tip)
{
    auto* box = new QDoubleSpinBox;
    box->setRange(0, max);
    box->setDecimals(2);
    box->setSpecialValueText(special);
    box->setToolTip(tip);
    box->setStatusTip(tip);
    return box;
}

template <typename Control>
Control* Tipped(Control* control, const QString& tip)
{
    control->setToolTip(tip);
    control->setStatusTip(tip);
    return control;
}
}  // namespace

CSourcePanel::CSourcePanel(CStudioSession& session, QWidget* parent)
    : QWidget(parent), m_session(session)
{
    m_file = new CElidedLabel(2);
    m_file->SetText(tr("No source: open a picture, a video or a .kvt stream (Ctrl+O)"));
    m_original = Tipped(new CImageView, tr("The current frame as the source shows it"));
    m_secret = Tipped(new CImageView, tr("The black-and-white secret the shares are made of"));
    m_secretInfo = new CElidedLabel(2);
    auto* previews = new QHBoxLayout;
    previews->addWidget(m_original);
    previews->addWidget(m_secret);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(MakeVideoGroup());
    layout->addWidget(MakeToneGroup());
    layout->addLayout(previews, 1);
    layout->addWidget(m_secretInfo);
    ShowSettings(m_session.GetImportSettings());
}

QWidget* CSourcePanel::MakeVideoGroup()
{
    auto* group = new QGroupBox(tr("Frames"));
    auto* form = new QFormLayout(group);
    m_start = SecondsBox(1000000, QString(), tr("Video: seconds to skip"));
    m_duration = SecondsBox(1000000, tr("to the end"), tr("Video: seconds to take"));
    m_fps = SecondsBox(1000, tr("every frame"), tr("Video: frames a second, the frame nearest each instant"));
    form->addRow(tr("Start (s)"), m_start);
    form->addRow(tr("Duration (s)"), m_duration);
    form->addRow(tr("Frames a second"), m_fps);
    m_width = Tipped(new QSpinBox, tr("Frame width in pixels"));
    m_height = Tipped(new QSpinBox, tr("Frame height in pixels"));
    for (QSpinBox* side : {m_width, m_height}) {
        side->setRange(0, 65536);
        side->setSpecialValueText(tr("source's"));
    }
    auto* size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("x")));
    size->addWidget(m_height);
    form->addRow(tr("Size"), size);
    m_fit = Tipped(new QComboBox, tr("How a picture of another shape fills the frame"));
    m_fit->addItem(tr("Contain (white bars)"), QStringLiteral("contain"));
    m_fit->addItem(tr("Cover (cropped)"), QStringLiteral("cover"));
    m_fit->addItem(tr("Stretch"), QStringLiteral("stretch"));
    form->addRow(tr("Fit"), m_fit);
    for (QDoubleSpinBox* box : {m_start, m_duration, m_fps})
        connect(box, &QDoubleSpinBox::editingFinished, this, [this] { TakeControls(); });
    for (QSpinBox* box : {m_width, m_height})
        connect(box, &QSpinBox::editingFinished, this, [this] { TakeControls(); });
    connect(m_fit, &QComboBox::currentIndexChanged, this, [this] { TakeControls(); });
    return group;
}

QWidget* CSourcePanel::MakeToneGroup()
{
    auto* group = new QGroupBox(tr("Tone and halftone"));
    auto* form = new QFormLayout(group);
    m_black = Tipped(new QSpinBox, tr("Input greys this dark and darker become black"));
    m_white = Tipped(new QSpinBox, tr("Input greys this light and lighter become white"));
    m_black->setRange(0, 254);
    m_white->setRange(1, 255);
    auto* levels = new QHBoxLayout;
    levels->addWidget(m_black);
    levels->addWidget(new QLabel(QStringLiteral(":")));
    levels->addWidget(m_white);
    form->addRow(tr("Levels"), levels);
    m_autoLevels = Tipped(new QComboBox, tr("Levels from the 1st and 99th percentiles of the frames' greys"));
    m_autoLevels->addItem(tr("Off"));
    m_autoLevels->addItem(tr("From the first frame"));
    m_autoLevels->addItem(tr("From each frame"));
    form->addRow(tr("Auto levels"), m_autoLevels);
    m_gamma = Tipped(new QDoubleSpinBox, tr("Above 1 lightens the middle greys, below 1 darkens them"));
    m_gamma->setRange(0.1, 10);
    m_gamma->setSingleStep(0.1);
    form->addRow(tr("Gamma"), m_gamma);
    m_invert = Tipped(new QCheckBox(tr("Invert")), tr("Black for white and white for black"));
    form->addRow(QString(), m_invert);
    m_dither = Tipped(new QComboBox, tr("How greys become black and white: only black counts in a secret"));
    m_dither->addItem(tr("Automatic"), QString());
    for (const std::string& name : DitherMethodNames())
        m_dither->addItem(QString::fromStdString(name), QString::fromStdString(name));
    form->addRow(tr("Halftone"), m_dither);
    m_threshold = Tipped(new QSpinBox, tr("With threshold: greys below it become black"));
    m_threshold->setRange(1, 255);
    form->addRow(tr("Threshold"), m_threshold);
    for (QSpinBox* box : {m_black, m_white, m_threshold})
        connect(box, &QSpinBox::valueChanged, this, [this] { TakeControls(); });
    connect(m_gamma, &QDoubleSpinBox::valueChanged, this, [this] { TakeControls(); });
    for (QComboBox* box : {m_autoLevels, m_dither})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { TakeControls(); });
    connect(m_invert, &QCheckBox::toggled, this, [this] { TakeControls(); });
    return group;
}

ImportSettings CSourcePanel::ReadControls() const
{
    ImportSettings settings;
    settings.range.start = m_start->value();
    if (m_duration->value() > 0)
        settings.range.duration = m_duration->value();
    if (m_fps->value() > 0)
        settings.range.fps = m_fps->value();
    if (m_width->value() > 0 && m_height->value() > 0)
        settings.size = QSize(m_width->value(), m_height->value());
    settings.fit = *ParseFitMode(m_fit->currentData().toString().toStdString());
    settings.tone.autoLevels = static_cast<AutoLevels>(m_autoLevels->currentIndex());
    if (settings.tone.autoLevels == AutoLevels::off)
        settings.tone.levels = {m_black->value(), std::max(m_white->value(), m_black->value() + 1)};
    settings.tone.gamma = m_gamma->value();
    settings.tone.invert = m_invert->isChecked();
    const QString dither = m_dither->currentData().toString();
    if (!dither.isEmpty())
        settings.dither = ParseDitherMethod(dither.toStdString());
    settings.threshold = m_threshold->value();
    return settings;
}

void CSourcePanel::ShowSettings(const ImportSettings& settings)
{
    m_bShowing = true;
    m_start->setValue(settings.range.start);
    m_duration->setValue(settings.range.duration.value_or(0));
    m_fps->setValue(settings.range.fps.value_or(0));
    m_width->setValue(settings.size ? settings.size->width() : 0);
    m_height->setValue(settings.size ? settings.size->height() : 0);
    m_fit->setCurrentIndex(static_cast<int>(settings.fit));
    m_black->setValue(settings.tone.levels.black);
    m_white->setValue(settings.tone.levels.white);
    m_autoLevels->setCurrentIndex(static_cast<int>(settings.tone.autoLevels));
    m_gamma->setValue(settings.tone.gamma);
    m_invert->setChecked(settings.tone.invert);
    m_dither->setCurrentIndex(settings.dither ? m_dither->findData(QString::fromUtf8(DitherMethodName(*settings.dither).data()))
                                              : 0);
    m_threshold->setValue(settings.threshold);
    m_bShowing = false;
}

void CSourcePanel::TakeControls()
{
    if (m_bShowing)
        return;
    std::string error;
    if (!m_session.SetImportSettings(ReadControls(), error) && m_onError)
        m_onError(QString::fromStdString(error));
    Refresh();
}

void CSourcePanel::Refresh()
{
    const CStudioSource& source = m_session.GetSource();
    const bool stream = source.GetKind() == SourceKind::stream;
    // A stream's frames are its secret as they stand: nothing to convert.
    for (QWidget* control : std::initializer_list<QWidget*>{m_start, m_duration, m_fps, m_width, m_height, m_fit,
                                                            m_autoLevels, m_gamma, m_invert, m_dither})
        control->setEnabled(m_session.HasSource() && !stream);
    const ImportSettings& settings = m_session.GetImportSettings();
    const bool video = source.GetKind() == SourceKind::video;
    for (QWidget* control : std::initializer_list<QWidget*>{m_start, m_duration, m_fps})
        control->setEnabled(video);
    m_black->setEnabled(!stream && settings.tone.autoLevels == AutoLevels::off);
    m_white->setEnabled(m_black->isEnabled());
    m_threshold->setEnabled(!stream && settings.dither == DitherMethod::threshold);
    if (m_session.HasSource())
        m_file->SetText(QString::fromStdString(source.GetPath().filename().string()) + QStringLiteral(" — ") +
                        tr("%1 x %2, frames: %3")
                            .arg(source.GetFrameSize().width())
                            .arg(source.GetFrameSize().height())
                            .arg(source.GetFrameCount()));
    UpdatePreview();
}

void CSourcePanel::UpdatePreview()
{
    if (!m_session.HasSource())
        return;
    QElapsedTimer timer;
    timer.start();
    FramePreview preview;
    std::string error;
    if (!m_session.Preview(preview, error)) {
        m_secretInfo->SetText(QString::fromStdString(error));
        return;
    }
    m_original->SetImage(preview.original);
    m_secret->SetImage(preview.secret);
    m_previewTime = timer.elapsed();
    const QSize size = preview.secret.size();
    if (m_session.GetSource().GetKind() == SourceKind::stream) {
        m_secretInfo->SetText(tr("Secret: %1 x %2, as the stream holds it").arg(size.width()).arg(size.height()));
        return;
    }
    const DitherMethod method = ChooseDitherMethod(m_session.GetImportSettings().dither, m_session.GetSource().GetFrameCount());
    m_secretInfo->SetText(
        tr("Secret: %1 x %2, %3").arg(size.width()).arg(size.height()).arg(QString::fromUtf8(DitherMethodName(method).data())));
}
