// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the child windows' area, menu 128 while no child window is open and menu 129
// while one is, toolbar 128, the status bar with its prompt and key-state panes, full-screen mode,
// and files dropped on it.

#include <QByteArray>
#include <QMainWindow>
#include <QRect>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "framework/CmdTarget.h"

class CCommandRouter;
class CRecentFileList;
class QKeyEvent;
class QMdiArea;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public CCmdTarget {
public:
    using OpenHandler = std::function<void(const std::filesystem::path&)>;

    explicit CMainFrame(CCommandRouter& router);
    ~CMainFrame() override;

    // Builds menus, toolbar, status bar and keys from resource 128; false when a part failed.
    bool LoadFrame();
    // Shows the frame maximised, and returns once the window manager has made it so (or has not
    // answered for a second).
    void ShowMaximized();

    QMdiArea& GetMDIArea() const { return *m_pMDIArea; }
    QToolBar& GetToolBar() const { return *m_wndToolBar; }
    // The menu resource on show: 128 or 129.
    int GetMenuID() const { return m_nMenuID; }
    // The top-level popups of the menu on show.
    const std::vector<QMenu*>& GetMenus() const;

    void ToggleFullScreen();
    bool IsFullScreen() const { return m_bFullScreen; }
    void LeaveFullScreen();
    // The floating "Full Screen" bar, while in full-screen mode.
    QWidget* GetFullScreenBar() const { return m_pwndFullScreenBar.get(); }

    // Shows the recent-file list in the File menus.
    void UpdateRecentFileMenu(const CRecentFileList& list);
    // Where dropped files go; each dropped file is opened as by Open.
    void SetOpenHandler(OpenHandler handler) { m_openHandler = std::move(handler); }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    std::vector<QMenu*> CreateMenu(int nIDResource);
    void CreateToolBar();
    void CreateStatusBar();
    void RegisterHandlers();
    bool TranslateKeypadKey(QKeyEvent& key);
    void OnChildActivated();
    // "KVTPlayer - title" of the active child, in brackets while it is maximised.
    QString Caption() const;
    void UpdateCaption();
    void UpdateWindowList(QMenu& menu);
    void TileChildren();
    void ArrangeIcons();

    CCommandRouter& m_router;
    bool m_bFullScreen = false;
    std::unique_ptr<QWidget> m_pwndFullScreenBar;
    QByteArray m_wpPrev;                     // placement before full-screen mode
    QRect m_rcPrev;                          // and the place of a normal window, without its frame
    Qt::WindowStates m_wsPrev = Qt::WindowNoState;
    QMdiArea* m_pMDIArea = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    std::vector<QMenu*> m_menus128;
    std::vector<QMenu*> m_menus129;
    int m_nMenuID = 0;
    OpenHandler m_openHandler;
};
