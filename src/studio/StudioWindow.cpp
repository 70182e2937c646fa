// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QSlider>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

#include "studio/FiguresPanel.h"
#include "studio/JobProgress.h"
#include "studio/RevealPanel.h"
#include "studio/SchemePanel.h"
#include "studio/SourcePanel.h"
#include "studio/StudioHelp.h"
#include "stream/FrameDelay.h"

namespace {
constexpr int kMaxRecentFiles = 8;
const char* const kRecentKey = "recentFiles";
const char* const kFolderKey = "lastFolder";
constexpr double kSourceShare = 0.28;  // of the window's width
constexpr double kFiguresShare = 0.27;  // of its height

QString FileFilter()
{
    return QCoreApplication::translate("CStudioWindow", "Pictures, videos and streams (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff *.pgm "
                             "*.pnm *.mp4 *.mkv *.webm *.avi *.mov *.kvt);;All files (*)");
}
}  // namespace

CStudioWindow::CStudioWindow()
{
    setAcceptDrops(true);
    m_sourcePanel = new CSourcePanel(m_session);
    m_schemePanel = new CSchemePanel(m_session);
    m_revealPanel = new CRevealPanel(m_session);
    m_figuresPanel = new CFiguresPanel(m_session);
    // The reveal is what the studio is for: it takes what the window gains.
    m_revealSplitter = new QSplitter(Qt::Vertical);
    m_revealSplitter->addWidget(m_revealPanel);
    m_revealSplitter->addWidget(m_figuresPanel);
    m_revealSplitter->setStretchFactor(0, 1);
    m_revealSplitter->setStretchFactor(1, 0);
    m_panels = new QSplitter;
    m_panels->addWidget(m_sourcePanel);
    m_panels->addWidget(m_schemePanel);
    m_panels->addWidget(m_revealSplitter);
    m_panels->setStretchFactor(0, 0);
    m_panels->setStretchFactor(1, 0);
    m_panels->setStretchFactor(2, 1);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_panels, 1);
    CreateActions();
    layout->addWidget(CreateFrameBar());
    setCentralWidget(central);
    CreateMenus();
    CreateStatusBar();

    m_sourcePanel->SetErrorHandler([this](const QString& text) { ShowError(text); });
    m_schemePanel->SetMakeHandler([this] { MakeShares(); });
    m_revealPanel->SetRevealHandler([this](qint64 ms) { m_revealTime = ms; });
    m_playTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_playTimer, &QTimer::timeout, this, [this] {
        const int next = m_frameSlider->value() + 1;
        ShowFrame(next > m_frameSlider->maximum() ? 0 : next);
    });
    connect(&m_watcher, &QFutureWatcher<ShareJobResult>::finished, this, [this] { FinishMaking(); });
    connect(&m_outWatcher, &QFutureWatcher<OutResult>::finished, this, [this] { FinishOut(); });
    ReadSettings();
    UpdateActions();
    UpdateTitle();
}

CStudioWindow::~CStudioWindow()
{
    // Hidden while the session still lives: the focus leaving a panel's control makes the panel
    // read the session, which goes before the base class would hide the window.
    hide();
    CancelWork();
    m_figuresPanel->Stop();
}

void CStudioWindow::CreateActions()
{
    m_open = new QAction(tr("&Open..."), this);
    m_open->setShortcut(QKeySequence::Open);
    m_open->setStatusTip(tr("Open a picture, an animated GIF or WebP, a video or a .kvt stream as the secret"));
    connect(m_open, &QAction::triggered, this, [this] { ChooseSource(); });
    m_openShares = new QAction(tr("Open s&hares..."), this);
    m_openShares->setShortcut(QKeySequence(tr("Ctrl+Shift+O")));
    m_openShares->setStatusTip(tr("Open shares made before, to see them together"));
    connect(m_openShares, &QAction::triggered, this, [this] { ChooseShares(); });
    m_save = new QAction(tr("&Save shares"), this);
    m_save->setShortcut(QKeySequence::Save);
    m_save->setStatusTip(tr("Make the shares of the source by the scheme and write them, all of them or none"));
    connect(m_save, &QAction::triggered, this, [this] { MakeShares(); });
    m_export = new QAction(tr("&Export shares..."), this);
    m_export->setShortcut(QKeySequence(tr("Ctrl+E")));
    m_export->setStatusTip(tr("Write the shares, the checked ones or their stack as PNG pictures, a GIF, an MKV or an MP4 video"));
    connect(m_export, &QAction::triggered, this, [this] { ExportShares(); });
    m_print = new QAction(tr("&Print shares to PDF..."), this);
    m_print->setShortcut(QKeySequence::Print);
    m_print->setStatusTip(tr("Write the shares, the checked ones or their stack to PDF at a chosen subpixel size, a page a frame"));
    connect(m_print, &QAction::triggered, this, [this] { PrintShares(); });
    m_quit = new QAction(tr("&Quit"), this);
    m_quit->setShortcut(QKeySequence(tr("Ctrl+Q")));
    m_quit->setStatusTip(tr("Close the studio"));
    connect(m_quit, &QAction::triggered, this, &QWidget::close);
    m_play = new QAction(tr("&Play"), this);
    m_play->setShortcut(QKeySequence(Qt::Key_Space));
    m_play->setCheckable(true);
    m_play->setStatusTip(tr("Play the frames, the reveal as a motion picture"));
    connect(m_play, &QAction::triggered, this, [this] { TogglePlay(); });
    m_help = new QAction(tr("&Help"), this);
    m_help->setShortcut(QKeySequence::HelpContents);
    m_help->setStatusTip(tr("How the studio works"));
    connect(m_help, &QAction::triggered, this, [this] { ShowHelp(); });
    m_about = new QAction(tr("&About KVT Studio"), this);
    connect(m_about, &QAction::triggered, this, [this] { ShowAbout(); });
}

void CStudioWindow::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_open);
    file->addAction(m_openShares);
    m_recent = file->addMenu(tr("Open &recent"));
    file->addSeparator();
    file->addAction(m_save);
    file->addAction(m_export);
    file->addAction(m_print);
    file->addSeparator();
    file->addAction(m_quit);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(m_play);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(m_help);
    help->addAction(m_about);
    UpdateRecentFiles();
}

QWidget* CStudioWindow::CreateFrameBar()
{
    auto* bar = new QWidget;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* play = new QToolButton;
    play->setDefaultAction(m_play);
    m_frameSlider = new QSlider(Qt::Horizontal);
    m_frameSlider->setToolTip(tr("The frame on show"));
    m_frameLabel = new QLabel;
    layout->addWidget(play);
    layout->addWidget(m_frameSlider, 1);
    layout->addWidget(m_frameLabel);
    connect(m_frameSlider, &QSlider::valueChanged, this, [this](int index) { ShowFrame(index); });
    return bar;
}

void CStudioWindow::CreateStatusBar()
{
    m_jobProgress = new CJobProgress;
    m_jobProgress->SetCancelHandler([this] { CancelWork(); });
    statusBar()->addPermanentWidget(m_jobProgress);
}

void CStudioWindow::UpdateActions()
{
    const bool busy = IsBusy();
    m_open->setEnabled(!busy);
    m_openShares->setEnabled(!busy);
    m_recent->setEnabled(!busy);
    m_save->setEnabled(!busy && m_session.HasSource());
    m_export->setEnabled(!busy && m_session.HasShares());
    m_print->setEnabled(!busy && m_session.HasShares());
    m_schemePanel->setEnabled(!busy);
    m_sourcePanel->setEnabled(!busy);
    const auto frames = m_session.GetFrameCount();
    m_play->setEnabled(frames > 1);
    m_frameSlider->setEnabled(frames > 1);
    m_frameSlider->blockSignals(true);
    m_frameSlider->setRange(0, frames > 0 ? static_cast<int>(frames - 1) : 0);
    m_frameSlider->setValue(static_cast<int>(m_session.GetFrameIndex()));
    m_frameSlider->blockSignals(false);
    m_frameLabel->setText(frames > 0 ? tr("frame %1 of %2").arg(m_session.GetFrameIndex() + 1).arg(frames) : QString());
}

void CStudioWindow::UpdateTitle()
{
    const QString name = m_session.HasSource()
                             ? QString::fromStdString(m_session.GetSource().GetPath().filename().string())
                             : tr("Untitled");
    setWindowTitle(tr("%1 - KVT Studio").arg(name));
}

void CStudioWindow::ShowError(const QString& text)
{
    QMessageBox::warning(this, tr("KVT Studio"), text);
}

void CStudioWindow::ChooseSource()
{
    QSettings settings;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open a secret"), settings.value(kFolderKey).toString(),
                                                      FileFilter());
    if (!path.isEmpty())
        OpenFile(path);
}

void CStudioWindow::ChooseShares()
{
    QSettings settings;
    const QStringList paths = QFileDialog::getOpenFileNames(this, tr("Open shares"), settings.value(kFolderKey).toString(),
                                                            tr("Streams (*.kvt);;All files (*)"));
    std::vector<std::filesystem::path> shares;
    for (const QString& path : paths)
        shares.emplace_back(path.toStdString());
    if (!shares.empty())
        OpenShareSet(shares);
}

bool CStudioWindow::OpenFile(const QString& path)
{
    m_figuresPanel->Stop();
    std::string error;
    // Made whole, so that the shares' folder beside it is a folder to show.
    if (!m_session.OpenSource(QFileInfo(path).absoluteFilePath().toStdString(), error)) {
        ShowError(tr("Can't open the file:\n%1").arg(QString::fromStdString(error)));
        return false;
    }
    QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    AddRecentFile(QFileInfo(path).absoluteFilePath());
    m_sourcePanel->Refresh();
    m_schemePanel->Refresh();
    m_revealPanel->ShowShares();
    UpdateActions();
    UpdateTitle();
    statusBar()->showMessage(tr("Opened %1").arg(path), 3000);
    return true;
}

bool CStudioWindow::OpenShareSet(const std::vector<std::filesystem::path>& paths)
{
    m_figuresPanel->Stop();
    std::string error;
    if (!m_session.OpenShares(paths, error)) {
        ShowError(tr("Can't open the shares:\n%1").arg(QString::fromStdString(error)));
        return false;
    }
    m_revealPanel->ShowShares();
    UpdateActions();
    return true;
}

void CStudioWindow::ShowFrame(int index)
{
    std::string error;
    if (!m_session.SetFrameIndex(static_cast<std::uint64_t>(index), error)) {
        m_playTimer.stop();
        m_play->setChecked(false);
        m_revealPanel->SetPlaying(false);
        ShowError(QString::fromStdString(error));
    }
    m_sourcePanel->Refresh();
    m_revealPanel->Refresh();
    UpdateActions();
}

void CStudioWindow::TogglePlay()
{
    m_revealPanel->SetPlaying(m_play->isChecked());
    if (!m_play->isChecked()) {
        m_playTimer.stop();
        return;
    }
    m_playTimer.start(PlayInterval());
}

int CStudioWindow::PlayInterval() const
{
    // A video's rate; pictures and streams say none, and play as the player plays them.
    const std::optional<double> fps = m_session.GetSource().GetFrameRate();
    return fps && *fps > 0 ? std::max(1, static_cast<int>(std::lround(1000 / *fps))) : static_cast<int>(kDefaultDelay);
}

void CStudioWindow::MakeShares()
{
    if (IsBusy() || !m_session.HasSource())
        return;
    std::string refusal;
    auto making = m_session.ChooseMaking(refusal);
    if (!making) {
        ShowError(QString::fromStdString(refusal));
        return;
    }
    ShareJobRequest request;
    request.source = m_session.GetSource().GetPath();
    request.kind = m_session.GetSource().GetKind();
    request.import = m_session.GetImportSettings();
    request.making = std::move(*making);
    // A key draws nothing at random: kvt refuses a seed with it.
    if (!std::holds_alternative<KeyStream>(request.making))
        request.seed = m_session.GetSchemeSettings().seed;
    request.folder = m_session.GetOutputFolder();
    request.title = request.source.stem().string();
    m_figuresPanel->Stop();
    m_session.CloseShares();
    m_revealPanel->ShowShares();
    m_job = std::make_unique<CShareJob>(std::move(request));
    m_stop = std::stop_source();
    m_watcher.setFuture(QtConcurrent::run([job = m_job.get(), stop = m_stop.get_token()] { return job->Run(stop); }));
    m_jobProgress->Start([job = m_job.get()] { return job->GetCounts(); },
                         tr("Stop making the shares; nothing is left behind"));
    UpdateActions();
}

void CStudioWindow::CancelWork()
{
    m_stop.request_stop();
    if (m_job)
        m_watcher.waitForFinished();
    if (m_outJob)
        m_outWatcher.waitForFinished();
}

void CStudioWindow::FinishMaking()
{
    const ShareJobResult result = m_watcher.result();
    m_job.reset();
    m_jobProgress->Stop();
    UpdateActions();
    switch (result.outcome) {
    case ShareJobOutcome::stopped:
        statusBar()->showMessage(tr("Stopped: no shares were written"), 5000);
        return;
    case ShareJobOutcome::failed:
        ShowError(tr("The shares were not made:\n%1").arg(QString::fromStdString(result.error)));
        return;
    case ShareJobOutcome::written:
        break;
    }
    // A share made against a key is seen on the key.
    std::vector<std::filesystem::path> shown = result.paths;
    if (m_session.GetSchemeSettings().kind == ShareKind::key)
        shown.insert(shown.begin(), m_session.GetSchemeSettings().key.path);
    if (!OpenShareSet(shown))
        return;
    QString message = tr("Shares written to %1: %2")
                          .arg(QString::fromStdString(result.paths.front().parent_path().string()))
                          .arg(result.paths.size());
    if (result.greyPixels > 0)
        message += tr("; grey pixels of the secret, which show as white: %1").arg(result.greyPixels);
    statusBar()->showMessage(message, 8000);
}

void CStudioWindow::ExportShares()
{
    StartOut(COutDialog::Mode::exportShares);
}

void CStudioWindow::PrintShares()
{
    StartOut(COutDialog::Mode::printShares);
}

void CStudioWindow::StartOut(COutDialog::Mode mode)
{
    const CShareSet& shares = m_session.GetShares();
    if (IsBusy() || shares.GetCount() == 0)
        return;
    // Beside the shares, unless the user chooses another folder.
    const QString folder = QString::fromStdString(shares.GetPath(0).parent_path().string());
    COutDialog dialog(mode, shares, folder, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_outJob = std::make_unique<COutJob>(dialog.GetRequest());
    m_stop = std::stop_source();
    m_outWatcher.setFuture(
        QtConcurrent::run([job = m_outJob.get(), stop = m_stop.get_token()] { return job->Run(stop); }));
    m_jobProgress->Start([job = m_outJob.get()] { return JobCounts{job->GetDone(), job->GetTotal()}; },
                         mode == COutDialog::Mode::printShares ? tr("Stop printing; no PDF is left behind")
                                                               : tr("Stop the export; no file is left behind"));
    UpdateActions();
}

void CStudioWindow::FinishOut()
{
    const OutResult result = m_outWatcher.result();
    m_outJob.reset();
    m_jobProgress->Stop();
    UpdateActions();
    switch (result.outcome) {
    case OutOutcome::stopped:
        statusBar()->showMessage(tr("Stopped: nothing was written"), 5000);
        return;
    case OutOutcome::failed:
        ShowError(tr("Nothing was written:\n%1").arg(QString::fromStdString(result.error)));
        return;
    case OutOutcome::written:
        break;
    }
    QString message = tr("Written to %1: %2")
                          .arg(QString::fromStdString(result.outputs.front().parent_path().string()))
                          .arg(QString::fromStdString(result.outputs.front().filename().string()));
    if (result.outputs.size() > 1)
        message += tr(" and %n more", nullptr, static_cast<int>(result.outputs.size() - 1));
    for (const std::string& warning : result.warnings)
        message += QStringLiteral("; ") + tr("warning: %1").arg(QString::fromStdString(warning));
    statusBar()->showMessage(message, 15000);
}

void CStudioWindow::ShowHelp()
{
    QMessageBox box(QMessageBox::Information, tr("KVT Studio help"), StudioHelpText(), QMessageBox::Close, this);
    box.exec();
}

void CStudioWindow::ShowAbout()
{
    QMessageBox::about(this, tr("About KVT Studio"), QString::fromStdString(StudioVersionText()));
}

void CStudioWindow::closeEvent(QCloseEvent* event)
{
    CancelWork();
    m_figuresPanel->Stop();
    WriteSettings();
    event->accept();
}

void CStudioWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !IsBusy())
        event->acceptProposedAction();
}

void CStudioWindow::dropEvent(QDropEvent* event)
{
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.emplace_back(url.toLocalFile().toStdString());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    // One file is a source; several are shares to see together.
    if (paths.size() == 1)
        OpenFile(QString::fromStdString(paths.front().string()));
    else
        OpenShareSet(paths);
}

void CStudioWindow::AddRecentFile(const QString& path)
{
    QSettings settings;
    QStringList files = settings.value(kRecentKey).toStringList();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMaxRecentFiles)
        files.removeLast();
    settings.setValue(kRecentKey, files);
    UpdateRecentFiles();
}

void CStudioWindow::UpdateRecentFiles()
{
    m_recent->clear();
    const QStringList files = QSettings().value(kRecentKey).toStringList();
    for (int i = 0; i < files.size(); ++i) {
        QAction* action = m_recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        action->setStatusTip(files[i]);
        connect(action, &QAction::triggered, this, [this, path = files[i]] { OpenFile(path); });
    }
    m_recent->setEnabled(!files.isEmpty());
}

void CStudioWindow::ReadSettings()
{
    QSettings settings;
    // The first time, most of the screen: the reveal and the figures need room.
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray()))
        resize(screen()->availableGeometry().size() * 0.85);
    // First the source a little over a quarter of the width and the scheme as narrow as it can
    // be; the figures and the table beneath the reveal, a little over a quarter of its height.
    if (!m_panels->restoreState(settings.value(QStringLiteral("panels")).toByteArray())) {
        const int source = static_cast<int>(kSourceShare * width());
        const int scheme = m_schemePanel->minimumSizeHint().width();
        m_panels->setSizes({source, scheme, std::max(1, width() - source - scheme)});
    }
    if (!m_revealSplitter->restoreState(settings.value(QStringLiteral("reveal")).toByteArray()))
        m_revealSplitter->setSizes({height(), static_cast<int>(kFiguresShare * height())});
    SchemeSettings scheme;
    scheme.request.family = static_cast<SchemeFamily>(settings.value(QStringLiteral("scheme/family"), 0).toInt());
    scheme.request.k = settings.value(QStringLiteral("scheme/k"), 2).toInt();
    scheme.request.n = settings.value(QStringLiteral("scheme/n"), 2).toInt();
    if (const int variant = settings.value(QStringLiteral("scheme/variant"), 0).toInt(); variant > 0)
        scheme.request.variant = variant;
    m_session.SetSchemeSettings(scheme);
    m_schemePanel->Refresh();
}

void CStudioWindow::WriteSettings() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("panels"), m_panels->saveState());
    settings.setValue(QStringLiteral("reveal"), m_revealSplitter->saveState());
    const SchemeRequest& request = m_session.GetSchemeSettings().request;
    settings.setValue(QStringLiteral("scheme/family"), static_cast<int>(request.family));
    settings.setValue(QStringLiteral("scheme/k"), request.k);
    settings.setValue(QStringLiteral("scheme/n"), request.n);
    settings.setValue(QStringLiteral("scheme/variant"), request.variant.value_or(0));
}
