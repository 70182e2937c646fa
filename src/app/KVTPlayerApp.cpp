// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KVTPlayerApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/AboutDlg.h"
#include "app/AppResources.h"
#include "app/ChildFrame.h"
#include "app/CommandLineInfo.h"
#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "io/File.h"
#include "maker/MakerWizard.h"
#include "player/KVTPlayerDoc.h"
#include "shadows/ShadowCommands.h"
#include "stream/StreamFileCheck.h"

namespace {
constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";
}  // namespace

CKVTPlayerApp::CKVTPlayerApp()
    : m_pRouter(std::make_unique<CCommandRouter>()), m_recentFiles(res::kRecentFileCount)
{
    m_pRouter->SetChain([this] { return CommandRoute(); });
    RegisterHandlers();
}

CKVTPlayerApp::~CKVTPlayerApp()
{
    qApp->removeEventFilter(this);
}

bool CKVTPlayerApp::InitInstance(const QStringList& arguments)
{
    const CCommandLineInfo cmdInfo = ParseCommandLine(arguments);
    CSplashWnd::EnableSplash(cmdInfo.m_bShowSplash);

    QCoreApplication::setOrganizationName(QString::fromUtf8(kRegistryKey));
    QCoreApplication::setApplicationName(res::LoadString(res::AFX_IDS_APP_TITLE));
    LoadQtTranslations();
    m_recentFiles.ReadList();

    m_pMainFrame = std::make_unique<CMainFrame>(*m_pRouter);
    if (!m_pMainFrame->LoadFrame())
        return false;
    m_pDocTemplate = std::make_unique<CMultiDocTemplate>(
        res::LoadString(res::IDR_KVTTYPE).toStdString(), m_pMainFrame->GetMDIArea(),
        [] { return std::make_unique<CKVTPlayerDoc>(); },
        [this](CMultiDocTemplate& tmpl, CDocument& doc) {
            return std::make_unique<CChildFrame>(tmpl, static_cast<CKVTPlayerDoc&>(doc), *m_pRouter);
        });
    m_pDocTemplate->SetPathHook([this](const std::filesystem::path& path) {
        m_recentFiles.Add(path);
        OnRecentFilesChanged();
    });
    m_pMainFrame->SetOpenHandler([this](const std::filesystem::path& path) { OpenDocumentFile(path); });
    OnRecentFilesChanged();
    qApp->installEventFilter(this);
    m_pMainFrame->ShowMaximized();

    if (!arguments.isEmpty()) {
        if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
            if (!OpenDocumentFile(cmdInfo.m_strFileName))
                return false;
        } else {
            OnCommand(res::ID_FILE_NEW_FRAMEWORK);
        }
    }
    m_pMainFrame->update();
    return true;
}

void CKVTPlayerApp::LoadQtTranslations()
{
    // Qt's own texts (the file dialogs, standard buttons, a child window's menu) in the program's
    // language; where they are not installed, Qt's English stays.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_zh_TW"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_pQtTranslator = std::move(translator);
}

bool CKVTPlayerApp::PreTranslateMessage(QObject*, QEvent* event)
{
    // The splash window takes the first key or mouse press for itself.
    return CSplashWnd::FilterAppMessage(event);
}

bool CKVTPlayerApp::eventFilter(QObject* watched, QEvent* event)
{
    return PreTranslateMessage(watched, event) || QObject::eventFilter(watched, event);
}

CDocument* CKVTPlayerApp::OpenDocumentFile(const std::filesystem::path& path)
{
    CFile file;
    if (!CheckStreamFile(path, file))
        return nullptr;
    return m_pDocTemplate->OpenDocumentFile(path, &file);
}

void CKVTPlayerApp::RegisterHandlers()
{
    OnCommandId(cmd::ID_FILE_OPEN, [this] { OnFileOpen(); });
    // The framework's own New, which only a command line without a file reaches.
    OnCommandId(res::ID_FILE_NEW_FRAMEWORK, [this] { m_pDocTemplate->OpenNewDocument(); });
    OnCommandId(cmd::ID_APP_EXIT, [this] { m_pMainFrame->close(); });
    OnCommandId(cmd::ID_APP_ABOUT, [this] {
        CAboutDlg aboutDlg(m_pMainFrame.get());
        aboutDlg.DoModal();
    });
    OnCommandId(cmd::ID_MAKER_WIZARD, [this] { RunMakerWizard(m_pMainFrame.get()); });
    OnCommandId(cmd::ID_CREATE_SHADOWS, [this] { OnCreateShadows(); });
    OnCommandId(cmd::ID_STACK_SHADOWS, [this] { OnStackShadows(); });
    for (int i = 0; i < res::kRecentFileCount; ++i)
        OnCommandId(
            cmd::ID_FILE_MRU_FILE1 + i, [this, i] { OnOpenRecentFile(i); },
            [this, i](CCmdUI& ui) { ui.Enable(i < m_recentFiles.GetCount()); });
}

void CKVTPlayerApp::OnCreateShadows()
{
    CShadowCommands(m_pDocTemplate.get()).OnCreateShadows();
}

void CKVTPlayerApp::OnStackShadows()
{
    CShadowCommands(m_pDocTemplate.get()).OnStackShadows();
}

std::vector<CCmdTarget*> CKVTPlayerApp::CommandRoute()
{
    std::vector<CCmdTarget*> route;
    if (m_pDocTemplate) {
        if (CMDIChildWnd* frame = m_pDocTemplate->GetActiveFrame()) {
            if (CCmdTarget* view = frame->GetActiveView())
                route.push_back(view);
            route.push_back(&frame->GetDocument());
            route.push_back(frame);
        }
    }
    if (m_pMainFrame)
        route.push_back(m_pMainFrame.get());
    route.push_back(this);
    return route;
}

void CKVTPlayerApp::OnFileOpen()
{
    if (const auto path = m_pDocTemplate->DoPromptFileName(true, {}))
        OpenDocumentFile(*path);
}

void CKVTPlayerApp::OnOpenRecentFile(int nIndex)
{
    if (nIndex >= m_recentFiles.GetCount())
        return;
    // A file that can no longer be opened leaves the list. The path is copied: a successful open
    // reorders the list.
    const std::filesystem::path path = m_recentFiles[nIndex];
    if (!OpenDocumentFile(path)) {
        m_recentFiles.Remove(nIndex);
        OnRecentFilesChanged();
    }
}

void CKVTPlayerApp::OnRecentFilesChanged()
{
    if (m_pMainFrame)
        m_pMainFrame->UpdateRecentFileMenu(m_recentFiles);
}
