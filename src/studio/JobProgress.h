// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status bar's part for work in the background: frames done of all, the time left, and
// Cancel. It reads the counts itself while the work runs.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "studio/TimeLeft.h"

class QLabel;
class QProgressBar;
class QPushButton;

class CJobProgress : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CJobProgress)

public:
    using Counts = std::function<JobCounts()>;

    explicit CJobProgress(QWidget* parent = nullptr);

    void SetCancelHandler(std::function<void()> handler) { m_onCancel = std::move(handler); }
    // Shows itself and follows `counts` until Stop; `cancelTip` says what Cancel stops.
    void Start(Counts counts, const QString& cancelTip);
    void Stop();

    QPushButton* GetCancelButton() const { return m_cancel; }

private:
    void ShowCounts();

    Counts m_counts;
    std::function<void()> m_onCancel;
    QTimer m_timer;
    QElapsedTimer m_clock;
    CTimeLeft m_timeLeftEstimate;
    QLabel* m_timeLeft;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
};
