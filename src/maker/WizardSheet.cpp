// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/WizardSheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "framework/DialogUnits.h"
#include "maker/MakerStrings.h"

CWizardSheet::CWizardSheet(QWidget* parent) : QDialog(parent)
{
    using namespace maker_strings;
    SetCaptionFrame(this, Qt::Dialog);
    m_stack = new QStackedWidget(this);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    m_btnBack = new QPushButton(kBackButton, this);
    m_btnNext = new QPushButton(kNextButton, this);
    m_btnFinish = new QPushButton(kFinishButton, this);
    m_btnCancel = new QPushButton(kWizardCancelButton, this);
    m_btnNext->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_btnBack, m_btnNext, m_btnFinish, m_btnCancel})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stack);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyWizardButtons(PSWIZB_NEXT | PSWIZB_DISABLEDFINISH);
    connect(m_btnBack, &QPushButton::clicked, this, &CWizardSheet::OnBack);
    connect(m_btnNext, &QPushButton::clicked, this, &CWizardSheet::OnNext);
    connect(m_btnFinish, &QPushButton::clicked, this, &CWizardSheet::OnFinish);
    connect(m_btnCancel, &QPushButton::clicked, this, &CWizardSheet::reject);
}

CWizardSheet::~CWizardSheet() = default;

void CWizardSheet::AddPage(std::unique_ptr<CWizardPage> page)
{
    m_stack->addWidget(page.get());
    m_pages.push_back(std::move(page));
}

int CWizardSheet::GetPageIndex(const CWizardPage* page) const
{
    const auto it = std::find_if(m_pages.begin(), m_pages.end(),
                                 [page](const std::unique_ptr<CWizardPage>& p) { return p.get() == page; });
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CWizardSheet::GetActiveIndex() const
{
    return m_stack->currentIndex();
}

void CWizardSheet::SetWizardButtons(int flags)
{
    QMetaObject::invokeMethod(this, [this, flags] { ApplyWizardButtons(flags); }, Qt::QueuedConnection);
}

QPushButton* CWizardSheet::Control(int id) const
{
    switch (id) {
    case ID_WIZBACK: return m_btnBack;
    case ID_WIZNEXT: return m_btnNext;
    case ID_WIZFINISH: return m_btnFinish;
    case IDCANCEL: return m_btnCancel;
    default: return nullptr;
    }
}

void CWizardSheet::showEvent(QShowEvent* event)
{
    if (!m_bStarted && !m_pages.empty()) {
        m_bStarted = true;
        SetActivePage(0);
    }
    QDialog::showEvent(event);
}

void CWizardSheet::SetActivePage(int index)
{
    m_stack->setCurrentIndex(index);
    CWizardPage* page = GetPage(index);
    setWindowTitle(page->windowTitle());
    page->OnSetActive();
}

void CWizardSheet::ApplyWizardButtons(int flags)
{
    m_btnBack->setEnabled((flags & PSWIZB_BACK) != 0);
    m_btnNext->setEnabled((flags & PSWIZB_NEXT) != 0);
    m_btnFinish->setEnabled((flags & PSWIZB_FINISH) != 0 && (flags & PSWIZB_DISABLEDFINISH) == 0);
}

void CWizardSheet::OnBack()
{
    const int index = GetActiveIndex();
    if (index > 0 && GetPage(index)->OnWizardBack())
        SetActivePage(index - 1);
}

void CWizardSheet::OnNext()
{
    const int index = GetActiveIndex();
    // The page may append the page it moves on to.
    if (index >= 0 && GetPage(index)->OnWizardNext() && index + 1 < GetPageCount())
        SetActivePage(index + 1);
}

void CWizardSheet::OnFinish()
{
    const int index = GetActiveIndex();
    if (index >= 0 && GetPage(index)->OnWizardFinish())
        done(ID_WIZFINISH);
}
