// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/SchemePanel.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <charconv>

#include "studio/StudioSession.h"

namespace {
constexpr const char* kSeedRefusal = "--seed takes a number from 0 to 4294967295";

// The seed as kvt reads --seed: digits only, 0 to 4294967295.
std::optional<std::uint32_t> ParseSeed(const std::string& text)
{
    std::uint32_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return seed;
}
}  // namespace

CSchemePanel::CSchemePanel(CStudioSession& session, QWidget* parent)
    : QWidget(parent), m_session(session)
{
    auto* form = new QFormLayout;
    m_family = new QComboBox;
    for (SchemeFamily family : {SchemeFamily::NaorShamir, SchemeFamily::RandomGrid, SchemeFamily::Probabilistic})
        m_family->addItem(QString::fromUtf8(FamilyName(family).data()), static_cast<int>(family));
    m_family->setToolTip(tr("naor-shamir: blocks of subpixels; random-grid and probabilistic: shares of the "
                            "secret's size"));
    form->addRow(tr("Scheme"), m_family);
    m_k = new QSpinBox;
    m_n = new QSpinBox;
    m_k->setToolTip(tr("Shares needed to see the secret"));
    m_n->setToolTip(tr("Shares made"));
    // Wider than offered, so that kvt's own refusal says what is.
    m_k->setRange(1, 9);
    m_n->setRange(1, 9);
    form->addRow(tr("k (needed)"), m_k);
    form->addRow(tr("n (made)"), m_n);
    m_variant = new QSpinBox;
    m_variant->setRange(0, 9);
    m_variant->setSpecialValueText(tr("none"));
    m_variant->setToolTip(tr("Kafri-Keren algorithm 1, 2 or 3 (random-grid (2, 2))"));
    form->addRow(tr("Variant"), m_variant);
    m_seed = new QLineEdit;
    m_seed->setPlaceholderText(tr("system random"));
    m_seed->setToolTip(tr("Patterns from a generator seeded with N (0 to 4294967295): repeatable, but not secret"));
    form->addRow(tr("Seed"), m_seed);
    m_seedWarning = new QLabel(QString::fromUtf8(kSeedWarning).replace('\n', ' '));
    m_seedWarning->setWordWrap(true);
    m_promise = new QLabel;
    m_promise->setWordWrap(true);
    m_refusal = new QLabel;
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    m_folder = new QLineEdit;
    m_folder->setToolTip(tr("The folder the shares are written into (by default the source's)"));
    auto* browse = new QPushButton(tr("Browse..."));
    auto* folder = new QHBoxLayout;
    folder->addWidget(m_folder, 1);
    folder->addWidget(browse);
    m_make = new QPushButton(tr("Make shares"));
    m_make->setToolTip(tr("Write BASE-Shadow1.kvt ... BASE-ShadowN.kvt, all of them or none"));
    m_make->setStatusTip(m_make->toolTip());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_seedWarning);
    layout->addWidget(m_promise);
    layout->addWidget(m_refusal);
    layout->addWidget(new QLabel(tr("Shares go to")));
    layout->addLayout(folder);
    layout->addWidget(m_make);
    layout->addStretch(1);

    connect(m_family, &QComboBox::currentIndexChanged, this, [this] { TakeControls(); });
    for (QSpinBox* box : {m_k, m_n, m_variant})
        connect(box, &QSpinBox::valueChanged, this, [this] { TakeControls(); });
    connect(m_seed, &QLineEdit::textChanged, this, [this] { TakeControls(); });
    connect(m_folder, &QLineEdit::editingFinished, this, [this] {
        m_session.SetOutputFolder(m_folder->text().toStdString());
    });
    connect(browse, &QPushButton::clicked, this, [this] { ChooseFolder(); });
    connect(m_make, &QPushButton::clicked, this, [this] {
        if (m_onMake)
            m_onMake();
    });
    Refresh();
}

std::optional<SchemeSettings> CSchemePanel::ReadControls() const
{
    SchemeSettings settings;
    settings.request.family = static_cast<SchemeFamily>(m_family->currentData().toInt());
    settings.request.k = m_k->value();
    settings.request.n = m_n->value();
    if (m_variant->value() > 0)
        settings.request.variant = m_variant->value();
    const std::string seed = m_seed->text().trimmed().toStdString();
    if (!seed.empty()) {
        settings.seed = ParseSeed(seed);
        if (!settings.seed)
            return std::nullopt;
    }
    return settings;
}

void CSchemePanel::TakeControls()
{
    if (m_bShowing)
        return;
    if (const auto settings = ReadControls())
        m_session.SetSchemeSettings(*settings);
    Refresh();
}

void CSchemePanel::Refresh()
{
    const SchemeSettings& settings = m_session.GetSchemeSettings();
    m_bShowing = true;
    m_family->setCurrentIndex(m_family->findData(static_cast<int>(settings.request.family)));
    m_k->setValue(settings.request.k);
    m_n->setValue(settings.request.n);
    m_variant->setValue(settings.request.variant.value_or(0));
    m_folder->setText(QString::fromStdString(m_session.GetOutputFolder().string()));
    m_bShowing = false;
    m_seedWarning->setVisible(!m_seed->text().trimmed().isEmpty());

    std::string refusal;
    const auto scheme = m_session.ChooseScheme(refusal);
    if (!ReadControls())
        refusal = kSeedRefusal;
    // The catalogue's own line: construction, m, block and contrast.
    m_promise->setText(scheme ? QString::fromStdString(DescribeScheme(*scheme)) : QString());
    m_refusal->setText(refusal.empty() ? QString() : QString::fromStdString(refusal));
    m_make->setEnabled(scheme && refusal.empty() && m_session.HasSource());
}

void CSchemePanel::ChooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Folder for the shares"), m_folder->text());
    if (folder.isEmpty())
        return;
    m_session.SetOutputFolder(folder.toStdString());
    Refresh();
}
