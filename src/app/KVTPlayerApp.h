// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: start-up, the command route, opening files by name (each one passes the
// stream-file test first, however it was asked for), the recent-file list, and the commands that
// belong to the application.

#include <QObject>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/RecentFileList.h"
#include "framework/CmdTarget.h"

class CCommandRouter;
class CDocument;
class CMainFrame;
class CMultiDocTemplate;
class QTranslator;

class CKVTPlayerApp : public QObject, public CCmdTarget {
public:
    CKVTPlayerApp();
    ~CKVTPlayerApp() override;
    CKVTPlayerApp(const CKVTPlayerApp&) = delete;
    CKVTPlayerApp& operator=(const CKVTPlayerApp&) = delete;

    // Start-up, given the arguments after the program's name. False when the program must end:
    // the main window could not be made, or the file named on the command line was refused.
    bool InitInstance(const QStringList& arguments);
    // Offered every event first; true when it was consumed.
    bool PreTranslateMessage(QObject* watched, QEvent* event);
    // Opens the file after the stream-file test; null, after its message, when it was refused.
    CDocument* OpenDocumentFile(const std::filesystem::path& path);

    CCommandRouter& GetRouter() const { return *m_pRouter; }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    CMultiDocTemplate& GetDocTemplate() const { return *m_pDocTemplate; }
    const CRecentFileList& GetRecentFileList() const { return m_recentFiles; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadQtTranslations();
    void RegisterHandlers();
    std::vector<CCmdTarget*> CommandRoute();
    void OnFileOpen();
    void OnCreateShadows();
    void OnStackShadows();
    void OnOpenRecentFile(int nIndex);
    void OnRecentFilesChanged();

    std::unique_ptr<CCommandRouter> m_pRouter;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    // Declared after the main frame: its child windows go before the frame's area.
    std::unique_ptr<CMultiDocTemplate> m_pDocTemplate;
    CRecentFileList m_recentFiles;
    std::unique_ptr<QTranslator> m_pQtTranslator;  // removes itself when it goes
};
