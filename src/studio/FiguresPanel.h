// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figures beneath the reveal, computed in the background when asked: the checked stack's
// contrast (alpha) and SSIM frame by frame in a chart, and a table of every set of k and of k - 1
// shares with its figures and leak verdict.

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <stop_token>

#include "studio/FigureJob.h"

class QChart;
class CElidedLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QValueAxis;
class CStudioSession;

// A step between labels on an axis `frames` long: 1, 2 or 5 times a power of ten, for at most six
// steps, so that the labels fit beneath a small chart.
double FrameLabelStep(double frames);

class CFiguresPanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CFiguresPanel)

public:
    CFiguresPanel(CStudioSession& session, QWidget* parent = nullptr);
    ~CFiguresPanel() override;

    // Starts measuring the session's shares; a run under way is stopped first.
    void Measure();
    void Stop();
    bool IsMeasuring() const { return m_job != nullptr; }

    QTableWidget* GetTable() const { return m_table; }
    QLineSeries* GetAlphaSeries() const { return m_alpha; }
    QValueAxis* GetFrameAxis() const { return m_frameAxis; }

private:
    // The frame axis from 1 to `frames`, labelled at round steps.
    void ShowFrameRange(int frames);
    void ShowResult(const FigureJobResult& result);

    CStudioSession& m_session;
    QPushButton* m_measure;
    CElidedLabel* m_status;
    QChart* m_chart;
    QLineSeries* m_alpha;
    QLineSeries* m_ssim;
    QValueAxis* m_frameAxis;
    QValueAxis* m_valueAxis;
    QTableWidget* m_table;

    std::unique_ptr<CFigureJob> m_job;
    std::stop_source m_stop;
    QFutureWatcher<FigureJobResult> m_watcher;
    QTimer m_progressTimer;
};
