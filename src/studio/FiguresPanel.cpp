// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/FiguresPanel.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "studio/ElidedLabel.h"
#include "studio/StudioSession.h"

namespace {
constexpr int kChartHeight = 150;  // the plot, its labels and the axis title
constexpr std::size_t kPointedFrames = 50;  // so many frames or fewer are drawn as points too

QString Number(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'f', 3) : QStringLiteral("-");
}

QString SetName(const std::vector<int>& shares)
{
    QStringList numbers;
    for (int i : shares)
        numbers << QString::number(i + 1);
    return numbers.join(QStringLiteral(", "));
}
}  // namespace

CFiguresPanel::CFiguresPanel(CStudioSession& session, QWidget* parent)
    : QWidget(parent), m_session(session)
{
    m_measure = new QPushButton(tr("Measure"));
    m_measure->setToolTip(tr("Measure the checked stack over every frame, and every set of k and k - 1 shares on "
                             "this frame, in the background"));
    m_status = new CElidedLabel;
    auto* top = new QHBoxLayout;
    top->addWidget(m_measure);
    top->addWidget(m_status, 1);

    m_alpha = new QLineSeries;
    m_alpha->setName(tr("contrast (alpha)"));
    m_ssim = new QLineSeries;
    m_ssim->setName(tr("SSIM"));
    m_chart = new QChart;
    m_chart->addSeries(m_alpha);
    m_chart->addSeries(m_ssim);
    // Little room beneath the reveal: the legend beside the plot, thin margins, short labels.
    m_chart->legend()->setAlignment(Qt::AlignRight);
    m_chart->setMargins(QMargins(2, 2, 2, 2));
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setBackgroundRoundness(0);
    m_frameAxis = new QValueAxis;
    m_frameAxis->setTitleText(tr("frame"));
    m_frameAxis->setLabelFormat(QStringLiteral("%d"));
    m_frameAxis->setTickType(QValueAxis::TicksDynamic);
    m_frameAxis->setTickAnchor(0);  // 100, 200, ... rather than 101, 201, ...
    ShowFrameRange(1);
    m_valueAxis = new QValueAxis;
    m_valueAxis->setRange(0, 1);
    m_valueAxis->setTickCount(3);
    m_valueAxis->setMinorTickCount(1);
    m_valueAxis->setLabelFormat(QStringLiteral("%.1f"));
    m_chart->addAxis(m_frameAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QLineSeries* series : {m_alpha, m_ssim}) {
        series->attachAxis(m_frameAxis);
        series->attachAxis(m_valueAxis);
    }
    auto* chartView = new QChartView(m_chart);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(kChartHeight);

    m_table = new QTableWidget(0, 8);
    m_table->setHorizontalHeaderLabels({tr("Shares"), tr("h/m"), tr("l/m"), tr("alpha"), tr("beta"), tr("error rate"),
                                        tr("SSIM"), tr("secret in patterns")});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // Rows as tall as their text: more of them in the little room beneath the reveal.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(chartView);
    split->addWidget(m_table);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(m_measure, &QPushButton::clicked, this, [this] { Measure(); });
    connect(&m_watcher, &QFutureWatcher<FigureJobResult>::finished, this, [this] {
        const FigureJobResult result = m_watcher.result();
        m_job.reset();
        m_progressTimer.stop();
        ShowResult(result);
    });
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_job && m_job->GetTotal() > 0)
            m_status->SetText(tr("Measuring: %1 of %2 frames").arg(m_job->GetDone()).arg(m_job->GetTotal()));
    });
}

CFiguresPanel::~CFiguresPanel()
{
    Stop();
}

void CFiguresPanel::Stop()
{
    if (!m_job)
        return;
    m_stop.request_stop();
    m_watcher.waitForFinished();
}

void CFiguresPanel::Measure()
{
    Stop();
    const CShareSet& shares = m_session.GetShares();
    if (!m_session.HasSource() || shares.GetCount() == 0) {
        m_status->SetText(tr("Make or open shares of the source first"));
        return;
    }
    FigureJobRequest request;
    request.source = m_session.GetSource().GetPath();
    request.import = m_session.GetImportSettings();
    for (int i = 0; i < shares.GetCount(); ++i)
        request.shares.push_back(shares.GetPath(i));
    request.checked = shares.GetChecked();
    request.k = std::min(m_session.GetSchemeSettings().request.k, shares.GetCount());
    request.frame = m_session.GetFrameIndex();
    m_job = std::make_unique<CFigureJob>(std::move(request));
    m_stop = std::stop_source();
    m_watcher.setFuture(QtConcurrent::run([job = m_job.get(), stop = m_stop.get_token()] { return job->Run(stop); }));
    m_progressTimer.start(100);
    m_status->SetText(tr("Measuring..."));
}

double FrameLabelStep(double frames)
{
    constexpr double kLabels = 6;
    double step = 1;
    while (frames / step > kLabels) {
        for (const double factor : {2.0, 2.5, 2.0}) {
            step *= factor;
            if (frames / step <= kLabels)
                break;
        }
    }
    return step;
}

void CFiguresPanel::ShowFrameRange(int frames)
{
    const double last = std::max(2, frames);
    m_frameAxis->setRange(1, last);
    m_frameAxis->setTickInterval(FrameLabelStep(last - 1));
}

void CFiguresPanel::ShowResult(const FigureJobResult& result)
{
    if (result.stopped) {
        m_status->SetText(tr("Stopped"));
        return;
    }
    if (!result.error.empty()) {
        m_status->SetText(QString::fromStdString(result.error));
        return;
    }
    // Data replaced in place, as the chart keeps its series and axes.
    QList<QPointF> alpha, ssim;
    for (std::size_t f = 0; f < result.alpha.size(); ++f) {
        if (result.alpha[f])
            alpha.append(QPointF(static_cast<double>(f + 1), *result.alpha[f]));
        if (result.ssim[f])
            ssim.append(QPointF(static_cast<double>(f + 1), *result.ssim[f]));
    }
    m_alpha->replace(alpha);
    m_ssim->replace(ssim);
    // A line needs two frames: a picture's one frame, and a few, show as points.
    for (QLineSeries* series : {m_alpha, m_ssim})
        series->setPointsVisible(result.alpha.size() <= kPointedFrames);
    ShowFrameRange(static_cast<int>(result.alpha.size()));
    m_table->setRowCount(static_cast<int>(result.subsets.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const SubsetFigures& subset = result.subsets[static_cast<std::size_t>(row)];
        QStringList cells{SetName(subset.shares)};
        if (subset.figures) {
            const ContrastFigures& c = subset.figures->contrast;
            cells << Number(c.blackDarkness) << Number(c.whiteDarkness) << Number(c.alpha) << Number(c.beta)
                  << Number(c.errorRate) << Number(subset.figures->ssim);
            cells << (!subset.figures->leakPValue ? tr("-")
                      : subset.figures->leaks     ? tr("found (p = %1)").arg(*subset.figures->leakPValue, 0, 'g', 3)
                                                  : tr("not found (p = %1)").arg(*subset.figures->leakPValue, 0, 'g', 3));
        }
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_status->SetText(tr("Frames measured: %1. The table: every set of k and k - 1 shares on this frame.")
                         .arg(result.alpha.size()));
}
