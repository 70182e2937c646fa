// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/JobProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>

CJobProgress::CJobProgress(QWidget* parent) : QWidget(parent)
{
    m_timeLeft = new QLabel;
    m_progress = new QProgressBar;
    m_progress->setMaximumWidth(240);
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_timeLeft);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    connect(&m_timer, &QTimer::timeout, this, [this] { ShowCounts(); });
    hide();
}

void CJobProgress::Start(Counts counts, const QString& cancelTip)
{
    m_counts = std::move(counts);
    m_clock.start();
    m_timeLeftEstimate = CTimeLeft();
    m_cancel->setStatusTip(cancelTip);
    m_progress->setRange(0, 0);
    m_timeLeft->clear();
    show();
    m_timer.start(100);
}

void CJobProgress::Stop()
{
    m_timer.stop();
    m_counts = nullptr;
    hide();
}

void CJobProgress::ShowCounts()
{
    if (!m_counts)
        return;
    const JobCounts counts = m_counts();
    const std::uint64_t done = counts.done, total = counts.total;
    if (total == 0)
        return;
    m_progress->setRange(0, 1000);
    m_progress->setValue(static_cast<int>(1000 * std::min(done, total) / total));
    m_progress->setFormat(tr("%1 of %2 frames").arg(done).arg(total));
    m_timeLeftEstimate.Add(m_clock.elapsed(), counts);
    // The last frame's files are still being put in place.
    if (done >= total)
        m_timeLeft->setText(tr("finishing"));
    else if (const auto left = m_timeLeftEstimate.SecondsLeft())
        m_timeLeft->setText(tr("%1 s left").arg(std::ceil(*left)));
    else
        m_timeLeft->setText(tr("estimating"));
}
