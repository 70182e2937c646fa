// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The studio's main window: source, scheme and reveal left to right over one session, a frame bar
// beneath them, the making of shares in the background with its progress and Cancel in the status
// bar; export and print of the shares, also in the background.

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <stop_token>

#include "studio/OutDialog.h"
#include "studio/OutJob.h"
#include "studio/ShareJob.h"
#include "studio/StudioSession.h"

class QAction;
class QLabel;
class QMenu;
class QSlider;
class QSplitter;
class CJobProgress;
class CFiguresPanel;
class CRevealPanel;
class CSchemePanel;
class CSourcePanel;

class CStudioWindow : public QMainWindow {
    Q_DECLARE_TR_FUNCTIONS(CStudioWindow)

public:
    CStudioWindow();
    ~CStudioWindow() override;

    // Opens a source, or shares when `path` is a share of a set named BASE-ShadowN.kvt; a message
    // box says what failed.
    bool OpenFile(const QString& path);
    // Starts making the shares of the session's source and scheme.
    void MakeShares();
    // Asks what to export or print and starts writing every share that way.
    void ExportShares();
    void PrintShares();
    // Making shares, exporting or printing them.
    bool IsBusy() const { return m_job != nullptr || m_outJob != nullptr; }
    // Stops the work and waits for it: nothing of it is left behind.
    void CancelWork();

    CStudioSession& GetSession() { return m_session; }
    CSourcePanel* GetSourcePanel() const { return m_sourcePanel; }
    CSchemePanel* GetSchemePanel() const { return m_schemePanel; }
    CRevealPanel* GetRevealPanel() const { return m_revealPanel; }
    CFiguresPanel* GetFiguresPanel() const { return m_figuresPanel; }
    // Milliseconds the last reveal took.
    qint64 GetRevealTime() const { return m_revealTime; }
    const QTimer& GetPlayTimer() const { return m_playTimer; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    QWidget* CreateFrameBar();
    void CreateStatusBar();
    void UpdateActions();
    void UpdateTitle();
    void ShowError(const QString& text);

    void ChooseSource();
    void ChooseShares();
    bool OpenShareSet(const std::vector<std::filesystem::path>& paths);
    void ShowFrame(int index);
    void TogglePlay();
    // Milliseconds between frames played: the source's rate.
    int PlayInterval() const;
    void ShowHelp();
    void ShowAbout();

    void StartOut(COutDialog::Mode mode);
    void FinishMaking();
    void FinishOut();

    void AddRecentFile(const QString& path);
    void UpdateRecentFiles();
    void ReadSettings();
    void WriteSettings() const;

    CStudioSession m_session;
    CSourcePanel* m_sourcePanel;
    CSchemePanel* m_schemePanel;
    CRevealPanel* m_revealPanel;
    CFiguresPanel* m_figuresPanel;
    QSplitter* m_panels;  // source, scheme, and the reveal over the figures
    QSplitter* m_revealSplitter;

    QAction* m_open;
    QAction* m_openShares;
    QAction* m_save;
    QAction* m_export;
    QAction* m_print;
    QAction* m_quit;
    QAction* m_play;
    QAction* m_help;
    QAction* m_about;
    QMenu* m_recent;

    QSlider* m_frameSlider;
    QLabel* m_frameLabel;
    QTimer m_playTimer;
    qint64 m_revealTime = 0;

    CJobProgress* m_jobProgress;
    std::stop_source m_stop;
    std::unique_ptr<CShareJob> m_job;
    QFutureWatcher<ShareJobResult> m_watcher;
    std::unique_ptr<COutJob> m_outJob;
    QFutureWatcher<OutResult> m_outWatcher;
};
