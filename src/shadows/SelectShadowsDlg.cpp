// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadows/SelectShadowsDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "framework/DialogUnits.h"
#include "shadows/VssStrings.h"
#include "vss/ShadowTitles.h"

namespace {
// The down-arrow key opens a combo's list rather than stepping through it.
class CExtendedComboUi : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* combo = qobject_cast<QComboBox*>(watched);
        if (combo && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
            combo->showPopup();
            return true;
        }
        return false;
    }
};

QComboBox* MakeCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setMaxVisibleItems(8);
    combo->installEventFilter(new CExtendedComboUi(combo));
    return combo;
}

// The title with its last eight characters ("-Shadow1" or "-Shadow2" in practice) cut off.
std::string WithoutShadowEnding(const std::string& title)
{
    return title.size() <= 8 ? std::string() : title.substr(0, title.size() - 8);
}

// Adds the items in sorted order, as a sorted list box would keep them.
void AddSorted(QComboBox* combo, const QString& text)
{
    int at = 0;
    while (at < combo->count() && QString::compare(combo->itemText(at), text, Qt::CaseInsensitive) <= 0)
        ++at;
    combo->insertItem(at, text);
}

std::string SelectedText(const QComboBox* combo)
{
    return combo->currentIndex() < 0 ? std::string() : combo->currentText().toStdString();
}
}  // namespace

CSelectShadowsDlg::CSelectShadowsDlg(QWidget* parent) : QDialog(parent)
{
    using namespace vss_strings;
    const CDialogUnits du = SetUpFixedDialog(this, kSelectShadowsCaption, 264, 154);

    // Template order, which is also the tab order.
    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setDefault(true);
    du.Place(m_btnOK, 207, 7, 50, 14);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    du.Place(m_btnCancel, 207, 24, 50, 14);
    m_cmbShadow1 = MakeCombo(this);
    du.Place(m_cmbShadow1, 69, 15, 111, 14);
    du.Place(new QLabel(QStringLiteral("Shadow1 Stream"), this), 7, 17, 56, 11);
    du.Place(new QLabel(QStringLiteral("Shadow2 Stream"), this), 7, 65, 56, 11);
    m_cmbShadow2 = MakeCombo(this);
    du.Place(m_cmbShadow2, 70, 62, 111, 14);
    auto* group = new QGroupBox(QStringLiteral("Stack Setting"), this);
    du.Place(group, 7, 90, 83, 57);
    m_radInterlace1 = new QRadioButton(kInterlaceMode1Radio, this);
    du.Place(m_radInterlace1, 14, 101, 71, 13);
    m_radStack = new QRadioButton(kStackDirectlyRadio, this);
    du.Place(m_radStack, 14, 127, 58, 13);
    m_radInterlace2 = new QRadioButton(kInterlaceMode2Radio, this);
    du.Place(m_radInterlace2, 14, 114, 71, 13);
    group->lower();  // the buttons sit on top of their frame

    auto* radios = new QButtonGroup(this);
    for (QRadioButton* radio : {m_radInterlace1, m_radStack, m_radInterlace2})
        radios->addButton(radio);
    setTabOrder(m_btnOK, m_btnCancel);
    setTabOrder(m_btnCancel, m_cmbShadow1);
    setTabOrder(m_cmbShadow1, m_cmbShadow2);
    setTabOrder(m_cmbShadow2, m_radInterlace1);

    connect(m_btnOK, &QPushButton::clicked, this, &CSelectShadowsDlg::OnOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_radInterlace1, &QRadioButton::clicked, this, &CSelectShadowsDlg::OnModeInterlace1);
    connect(m_radInterlace2, &QRadioButton::clicked, this, &CSelectShadowsDlg::OnModeInterlace2);
    connect(m_radStack, &QRadioButton::clicked, this, &CSelectShadowsDlg::OnModeStack);
}

bool CSelectShadowsDlg::DoModal()
{
    return exec() == QDialog::Accepted;
}

QWidget* CSelectShadowsDlg::Control(int id) const
{
    switch (id) {
    case 1: return m_btnOK;
    case 2: return m_btnCancel;
    case 1018: return m_radInterlace1;
    case 1019: return m_radStack;
    case 1020: return m_radInterlace2;
    case 1021: return m_cmbShadow1;
    case 1022: return m_cmbShadow2;
    default: return nullptr;
    }
}

void CSelectShadowsDlg::showEvent(QShowEvent* event)
{
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CSelectShadowsDlg::OnInitDialog()
{
    for (const std::string& title : m_titles) {
        const QString text = QString::fromStdString(title);
        AddSorted(m_cmbShadow1, text);
        AddSorted(m_cmbShadow2, text);
    }
    m_cmbShadow1->setCurrentIndex(-1);
    m_cmbShadow2->setCurrentIndex(-1);
    m_radInterlace1->setChecked(true);
    m_radInterlace2->setEnabled(false);
    connect(m_cmbShadow1, &QComboBox::currentIndexChanged, this, &CSelectShadowsDlg::OnSelChangeShadow1);
    connect(m_cmbShadow2, &QComboBox::currentIndexChanged, this, &CSelectShadowsDlg::OnSelChangeShadow2);
}

void CSelectShadowsDlg::OnSelChangeShadow1()
{
    m_strCurShadow1 = SelectedText(m_cmbShadow1);
    m_bShadow1Picked = true;
    if (m_bShadow2Picked)
        CheckShadowPair();
}

void CSelectShadowsDlg::OnSelChangeShadow2()
{
    m_strCurShadow2 = SelectedText(m_cmbShadow2);
    m_bShadow2Picked = true;
    if (m_bShadow1Picked)
        CheckShadowPair();
}

void CSelectShadowsDlg::CheckShadowPair()
{
    const std::string p1 = WithoutShadowEnding(m_strCurShadow1);
    const std::string p2 = WithoutShadowEnding(m_strCurShadow2);
    const bool accepted = p1 == p2;
    for (QWidget* control : {static_cast<QWidget*>(m_radInterlace1), static_cast<QWidget*>(m_radStack),
                             static_cast<QWidget*>(m_btnOK)})
        control->setEnabled(accepted);
    if (!accepted) {
        m_radInterlace2->setEnabled(false);
        return;
    }
    const auto secret = std::find_if(m_titles.begin(), m_titles.end(),
                                     [&](const std::string& title) { return StreamBaseName(title) == p1; });
    if (secret != m_titles.end()) {
        m_strSecret = *secret;
        m_radInterlace2->setEnabled(true);
        return;
    }
    // No secret of this pair is open: mode 2 can't be made from it, and an earlier pair's secret
    // must not be used in its place.
    m_strSecret.clear();
    m_radInterlace2->setEnabled(false);
    if (m_nMode == kInterlaceMode2) {
        m_radInterlace1->setChecked(true);
        OnModeInterlace1();
    }
}

void CSelectShadowsDlg::OnOK()
{
    m_strShadow1 = SelectedText(m_cmbShadow1);
    m_strShadow2 = SelectedText(m_cmbShadow2);
    accept();
}
