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

#include "shares/SeedChoice.h"
#include "studio/StudioSession.h"
#include "vss/ExtendedShares.h"

CSchemePanel::CSchemePanel(CStudioSession& session, QWidget* parent)
    : QWidget(parent), m_session(session)
{
    m_kind = new QComboBox;
    m_kind->addItem(tr("A threshold scheme"), static_cast<int>(ShareKind::scheme));
    m_kind->addItem(tr("Two covers (extended shares)"), static_cast<int>(ShareKind::covers));
    m_kind->addItem(tr("A key (the second share only)"), static_cast<int>(ShareKind::key));
    m_kind->setToolTip(tr("Covers: each of two shares shows its own picture and only both the secret. Key: "
                          "the second share of a first one made before"));

    m_schemeControls = new QWidget;
    auto* form = new QFormLayout(m_schemeControls);
    form->setContentsMargins(0, 0, 0, 0);
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
    m_variant = new QComboBox;
    m_variant->addItem(tr("none"), 0);
    // The catalogue's variants by kvt's words for them, each once.
    for (const SchemeChoice& choice : OfferedSchemes())
        if (choice.variant > 0 && m_variant->findData(choice.variant) < 0)
            m_variant->addItem(QString::fromStdString(VariantName(choice.variant)), choice.variant);
    m_variant->setToolTip(tr("1, 2, 3: Kafri-Keren's algorithms (random-grid (2, 2)); compact: the least m for "
                             "naor-shamir; chen-tsao: random-grid (k, n) by Chen and Tsao"));
    form->addRow(tr("Variant"), m_variant);

    m_cover[0] = new QLineEdit;
    m_cover[1] = new QLineEdit;
    m_coverControls = new QWidget;
    auto* covers = new QVBoxLayout(m_coverControls);
    covers->setContentsMargins(0, 0, 0, 0);
    covers->addWidget(CreateStreamRow(m_cover[0], tr("Cover of share 1")));
    covers->addWidget(CreateStreamRow(m_cover[1], tr("Cover of share 2")));
    for (QLineEdit* cover : m_cover)
        cover->setToolTip(tr("A black-and-white stream of the secret's size (kvt import --size makes one)"));
    m_key = new QLineEdit;
    m_key->setToolTip(tr("A first share as kvt shadows makes it, of the shares' size"));
    m_keyControls = CreateStreamRow(m_key, tr("Key"));

    m_seed = new QLineEdit;
    m_seed->setPlaceholderText(tr("system random"));
    m_seed->setToolTip(tr("Patterns from a generator seeded with N (0 to 4294967295): repeatable, but not secret"));
    auto* seedForm = new QFormLayout;
    seedForm->addRow(tr("Seed"), m_seed);
    m_seedWarning = new QLabel(QStringLiteral("warning: ") + QString::fromUtf8(kSeededSharesWarning));
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
    layout->addWidget(m_kind);
    layout->addWidget(m_schemeControls);
    layout->addWidget(m_coverControls);
    layout->addWidget(m_keyControls);
    layout->addLayout(seedForm);
    layout->addWidget(m_seedWarning);
    layout->addWidget(m_promise);
    layout->addWidget(m_refusal);
    layout->addWidget(new QLabel(tr("Shares go to")));
    layout->addLayout(folder);
    layout->addWidget(m_make);
    layout->addStretch(1);

    for (QComboBox* box : {m_kind, m_family, m_variant})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { TakeControls(); });
    for (QSpinBox* box : {m_k, m_n})
        connect(box, &QSpinBox::valueChanged, this, [this] { TakeControls(); });
    for (QLineEdit* edit : {m_seed, m_cover[0], m_cover[1], m_key})
        connect(edit, &QLineEdit::textChanged, this, [this] { TakeControls(); });
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

QWidget* CSchemePanel::CreateStreamRow(QLineEdit* edit, const QString& caption)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browse = new QPushButton(tr("Browse..."));
    layout->addWidget(new QLabel(caption));
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, edit, caption] {
        const QString path = QFileDialog::getOpenFileName(this, caption, edit->text(), tr("Streams (*.kvt)"));
        if (!path.isEmpty())
            edit->setText(path);
    });
    return row;
}

std::optional<SchemeSettings> CSchemePanel::ReadControls() const
{
    SchemeSettings settings;
    settings.kind = static_cast<ShareKind>(m_kind->currentData().toInt());
    settings.request.family = static_cast<SchemeFamily>(m_family->currentData().toInt());
    settings.request.k = m_k->value();
    settings.request.n = m_n->value();
    if (const int variant = m_variant->currentData().toInt(); variant > 0)
        settings.request.variant = variant;
    settings.covers = {m_cover[0]->text().trimmed().toStdString(), m_cover[1]->text().trimmed().toStdString()};
    settings.key.path = m_key->text().trimmed().toStdString();
    const std::string seed = m_seed->text().trimmed().toStdString();
    if (!seed.empty() && settings.kind != ShareKind::key) {
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
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(settings.kind)));
    m_family->setCurrentIndex(m_family->findData(static_cast<int>(settings.request.family)));
    m_k->setValue(settings.request.k);
    m_n->setValue(settings.request.n);
    m_variant->setCurrentIndex(std::max(0, m_variant->findData(settings.request.variant.value_or(0))));
    m_folder->setText(QString::fromStdString(m_session.GetOutputFolder().string()));
    m_bShowing = false;
    m_schemeControls->setVisible(settings.kind == ShareKind::scheme);
    m_coverControls->setVisible(settings.kind == ShareKind::covers);
    m_keyControls->setVisible(settings.kind == ShareKind::key);
    // A key draws nothing at random.
    m_seed->setEnabled(settings.kind != ShareKind::key);
    m_seedWarning->setVisible(m_seed->isEnabled() && !m_seed->text().trimmed().isEmpty());

    std::string refusal;
    const auto making = m_session.HasSource() || settings.kind == ShareKind::scheme
                            ? m_session.ChooseMaking(refusal)
                            : std::nullopt;
    if (!ReadControls())
        refusal = kSeedRefusal;
    // The catalogue's own line: construction, m, block and contrast.
    const auto* scheme = making ? std::get_if<Scheme>(&*making) : nullptr;
    m_promise->setText(scheme                               ? QString::fromStdString(DescribeScheme(*scheme))
                       : settings.kind == ShareKind::covers ? QString::fromUtf8(extended_shares::kDescription)
                                                            : QString());
    m_refusal->setText(QString::fromStdString(refusal));
    m_make->setEnabled(making && refusal.empty() && m_session.HasSource());
}

void CSchemePanel::ChooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Folder for the shares"), m_folder->text());
    if (folder.isEmpty())
        return;
    m_session.SetOutputFolder(folder.toStdString());
    Refresh();
}
