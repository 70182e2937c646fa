// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

#include "app/AppResources.h"

CKeyIndicators::CKeyIndicators(QStatusBar& statusBar, LockSource source)
    : QObject(&statusBar), m_source(std::move(source))
{
    const int ids[3] = {res::ID_INDICATOR_CAPS, res::ID_INDICATOR_NUM, res::ID_INDICATOR_SCRL};
    for (int i = 0; i < 3; ++i) {
        m_panes[i] = new QLabel(&statusBar);
        m_panes[i]->setFrameShape(QFrame::Panel);
        m_panes[i]->setFrameShadow(QFrame::Sunken);
        m_panes[i]->setAlignment(Qt::AlignCenter);
        // Sized for the text, so the panes don't jump when a lock changes.
        m_panes[i]->setMinimumWidth(m_panes[i]->fontMetrics().horizontalAdvance(res::LoadString(ids[i])) + 8);
        m_panes[i]->setProperty("indicatorText", res::LoadString(ids[i]));
        statusBar.addPermanentWidget(m_panes[i]);
    }
    // The locks change with key presses and while another program has the keyboard.
    qApp->installEventFilter(this);
    Update();
}

void CKeyIndicators::Update()
{
    const unsigned locks = m_source ? m_source() : 0;
    const unsigned bits[3] = {kCapsLock, kNumLock, kScrollLock};
    for (int i = 0; i < 3; ++i)
        m_panes[i]->setText((locks & bits[i]) ? m_panes[i]->property("indicatorText").toString() : QString());
}

bool CKeyIndicators::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
        Update();
    return QObject::eventFilter(watched, event);
}

CKeyIndicators::LockSource CKeyIndicators::SystemLocks()
{
    return &QuerySystemKeyLocks;
}
