// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrame.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "app/AppResources.h"
#include "app/CaptionWidth.h"
#include "app/FramePlacement.h"
#include "app/KeyIndicators.h"
#include "app/RecentFileList.h"
#include "app/SplashWnd.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DialogUnits.h"

namespace {
// Every command that a menu, a button or a key of the main window issues.
std::vector<int> CommandsOfResources()
{
    std::vector<int> ids;
    for (int menu : {res::IDR_MAINFRAME, res::IDR_KVTTYPE})
        for (const res::Popup& popup : res::LoadMenu(menu))
            for (const res::MenuItem& item : popup.items)
                ids.push_back(item.nID);
    for (int bar : {res::IDR_MAINFRAME, res::IDR_FULLSCREEN})
        ids.insert(ids.end(), res::LoadToolBar(bar).begin(), res::LoadToolBar(bar).end());
    for (const res::Accelerator& accel : res::LoadAccelTable())
        ids.push_back(accel.nID);
    for (int i = 1; i < res::kRecentFileCount; ++i)
        ids.push_back(cmd::ID_FILE_MRU_FILE1 + i);
    std::erase(ids, res::ID_SEPARATOR);
    return ids;
}

const char* MenuCaption(int nID)
{
    for (int menu : {res::IDR_KVTTYPE, res::IDR_MAINFRAME})
        for (const res::Popup& popup : res::LoadMenu(menu))
            for (const res::MenuItem& item : popup.items)
                if (item.nID == nID)
                    return item.caption;
    return nullptr;
}

void AddToolBarButtons(QToolBar& bar, CCommandRouter& router, int nIDResource)
{
    for (int id : res::LoadToolBar(nIDResource)) {
        if (id == res::ID_SEPARATOR)
            bar.addSeparator();
        else
            bar.addAction(router.Action(id));
    }
}

// Ends an event loop once the window it watches is on the screen.
class CExposeWatcher : public QObject {
public:
    explicit CExposeWatcher(QEventLoop& loop) : m_loop(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose)
            m_loop.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& m_loop;
};

constexpr int kMaximiseWait = 1000;  // ms
}  // namespace

CMainFrame::CMainFrame(CCommandRouter& router) : m_router(router)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(Caption());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app.png")));
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame()
{
    m_pMDIArea = new QMdiArea(this);
    m_pMDIArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMDIArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Closing the active window activates the one used before it.
    m_pMDIArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_pMDIArea);
    CreateActions();
    m_menus128 = CreateMenu(res::IDR_MAINFRAME);
    m_menus129 = CreateMenu(res::IDR_KVTTYPE);
    CreateToolBar();
    CreateStatusBar();
    RegisterHandlers();
    connect(m_pMDIArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnChildActivated);
    OnChildActivated();
    CSplashWnd::ShowSplash(this);
    return true;
}

void CMainFrame::ShowMaximized()
{
    showMaximized();
    // A window manager maximises the window in its own time, before the window is first on the
    // screen. Until then the area has its unmaximised size, which windows opened now would take.
    QWindow* window = windowHandle();
    if (!window || window->isExposed())
        return;
    QEventLoop loop;
    CExposeWatcher watcher(loop);
    window->installEventFilter(&watcher);
    QTimer::singleShot(kMaximiseWait, &loop, &QEventLoop::quit);  // no window manager to answer
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

const std::vector<QMenu*>& CMainFrame::GetMenus() const
{
    return m_nMenuID == res::IDR_KVTTYPE ? m_menus129 : m_menus128;
}

void CMainFrame::CreateActions()
{
    for (int id : CommandsOfResources()) {
        QAction* action = m_router.Action(id);
        if (const char* caption = MenuCaption(id))
            action->setText(QString::fromUtf8(caption));
        else
            action->setText(res::CommandToolTip(id));
        action->setStatusTip(res::CommandPrompt(id));
        action->setToolTip(res::CommandToolTip(id));
        if (const QString picture = res::ToolBarPicture(id); !picture.isEmpty())
            action->setIcon(QIcon(picture));
        // The frame carries every action, so the keys work whether or not a menu bar shows.
        addAction(action);
    }
    for (const res::Accelerator& accel : res::LoadAccelTable()) {
        QAction* action = m_router.Action(accel.nID);
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(accel.key);
        action->setShortcuts(keys);
        // Keys count while this window is the active one: not while a modal dialog or a popup
        // (a menu, a combo box's list) has the keyboard.
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

std::vector<QMenu*> CMainFrame::CreateMenu(int nIDResource)
{
    std::vector<QMenu*> menus;
    for (const res::Popup& popup : res::LoadMenu(nIDResource)) {
        auto* menu = new QMenu(QString::fromUtf8(popup.caption), this);
        for (const res::MenuItem& item : popup.items) {
            if (item.nID == res::ID_SEPARATOR) {
                menu->addSeparator();
                continue;
            }
            menu->addAction(m_router.Action(item.nID));
            // The recent files follow their placeholder, shown while the list has them.
            if (item.nID == cmd::ID_FILE_MRU_FILE1)
                for (int i = 1; i < res::kRecentFileCount; ++i)
                    menu->addAction(m_router.Action(cmd::ID_FILE_MRU_FILE1 + i));
        }
        m_router.WatchMenu(menu);
        if (popup.items.front().nID == cmd::ID_WINDOW_NEW)
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateWindowList(*menu); });
        menus.push_back(menu);
    }
    return menus;
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar128"));
    m_wndToolBar->setIconSize(QSize(16, 16));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    AddToolBarButtons(*m_wndToolBar, m_router, res::IDR_MAINFRAME);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::CreateStatusBar()
{
    // The prompt pane: the idle text, covered by a command's prompt while one is hovered.
    statusBar()->addWidget(new QLabel(res::LoadString(res::AFX_IDS_IDLEMESSAGE), statusBar()), 1);
    new CKeyIndicators(*statusBar());  // owned by the status bar
}

void CMainFrame::RegisterHandlers()
{
    OnCommandId(cmd::ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); },
                [this](CCmdUI& ui) { ui.SetCheck(m_wndToolBar->isVisible() ? 1 : 0); });
    OnCommandId(cmd::ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
                [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible() ? 1 : 0); });
    OnCommandId(cmd::ID_FULL_SCREEN, [this] { ToggleFullScreen(); },
                [this](CCmdUI& ui) { ui.SetCheck(m_bFullScreen ? 1 : 0); });
    OnCommandId(cmd::ID_LEAVE_FULL_SCREEN, [this] { LeaveFullScreen(); }, [](CCmdUI& ui) { ui.SetCheck(0); });
    // The window commands need a child window to act on.
    auto needsChild = [this](CCmdUI& ui) { ui.Enable(m_pMDIArea->currentSubWindow() != nullptr); };
    OnCommandId(cmd::ID_WINDOW_CASCADE, [this] { m_pMDIArea->cascadeSubWindows(); }, needsChild);
    OnCommandId(cmd::ID_WINDOW_TILE_HORZ, [this] { TileChildren(); }, needsChild);
    OnCommandId(cmd::ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); }, needsChild);
}

void CMainFrame::ToggleFullScreen()
{
    if (m_bFullScreen) {
        // The bar's own button may be what sent this: the bar goes once that click is over.
        m_pwndFullScreenBar->hide();
        m_pwndFullScreenBar.release()->deleteLater();
        m_bFullScreen = false;
        menuBar()->show();
        statusBar()->show();
        m_wndToolBar->show();
        // Back to the earlier state and place. A normal window's place is given without the frame,
        // which the window manager adds (or not) as before: Qt's saved placement would guess the
        // frame and come back lower where there is none.
        setWindowState(m_wsPrev & ~Qt::WindowFullScreen);
        if (m_wsPrev & Qt::WindowMaximized)
            restoreGeometry(m_wpPrev);
        else
            setGeometry(m_rcPrev);
        m_router.UpdateActions();
        return;
    }
    statusBar()->hide();
    m_wndToolBar->hide();
    m_wpPrev = saveGeometry();
    m_rcPrev = geometry();
    m_wsPrev = windowState();

    // A small floating window captioned "Full Screen" whose one button leaves the mode.
    auto bar = std::make_unique<QWidget>(this);
    SetCaptionFrame(bar.get(), Qt::Tool | Qt::WindowStaysOnTopHint);
    bar->setObjectName(QStringLiteral("fullScreenBar"));
    bar->setWindowTitle(res::FullScreenBarCaption());
    auto* layout = new QVBoxLayout(bar.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QToolBar(bar.get());
    buttons->setIconSize(QSize(16, 16));
    AddToolBarButtons(*buttons, m_router, res::IDR_FULLSCREEN);
    layout->addWidget(buttons);
    // As wide as its button and its caption need.
    bar->setFixedSize(std::max(buttons->sizeHint().width(), CaptionWidth(*bar, 1)), buttons->sizeHint().height());
    m_pwndFullScreenBar = std::move(bar);

    m_bFullScreen = true;
    // The menu bar goes too: the keys and the bar are the ways back.
    menuBar()->hide();
    // The whole screen even where no window manager honours the full-screen request.
    if (QScreen* desktop = screen())
        setGeometry(desktop->geometry());
    showFullScreen();
    // The point is the bar's outer corner, caption and all, where a window manager frames it.
    ShowWithFrameAt(*m_pwndFullScreenBar, QPoint(600, 5));
    m_router.UpdateActions();
}

void CMainFrame::LeaveFullScreen()
{
    if (m_bFullScreen)
        ToggleFullScreen();
}

void CMainFrame::UpdateRecentFileMenu(const CRecentFileList& list)
{
    for (int i = 0; i < res::kRecentFileCount; ++i) {
        QAction* action = m_router.Action(cmd::ID_FILE_MRU_FILE1 + i);
        if (i < list.GetCount()) {
            action->setText(res::NumberedEntry(i, list.GetDisplayName(i)));
            action->setVisible(true);
        } else {
            // An empty list keeps the greyed placeholder.
            action->setText(QString::fromUtf8(MenuCaption(cmd::ID_FILE_MRU_FILE1)));
            action->setVisible(i == 0);
        }
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    activateWindow();
    for (const QUrl& url : urls)
        if (url.isLocalFile() && m_openHandler)
            m_openHandler(std::filesystem::path(url.toLocalFile().toStdString()));
}

void CMainFrame::OnChildActivated()
{
    const int menuID = m_pMDIArea->subWindowList().isEmpty() ? res::IDR_MAINFRAME : res::IDR_KVTTYPE;
    if (menuID != m_nMenuID) {
        m_nMenuID = menuID;
        menuBar()->clear();
        for (QMenu* menu : GetMenus())
            menuBar()->addMenu(menu);
    }
    if (QMdiSubWindow* child = m_pMDIArea->currentSubWindow()) {
        connect(child, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateCaption, Qt::UniqueConnection);
        connect(child, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateCaption, Qt::UniqueConnection);
    }
    UpdateCaption();
    m_router.UpdateActions();
}

QString CMainFrame::Caption() const
{
    const QMdiSubWindow* child = m_pMDIArea ? m_pMDIArea->currentSubWindow() : nullptr;
    return child ? res::MainFrameCaption(child->windowTitle(), child->isMaximized()) : res::MainFrameCaption({}, false);
}

void CMainFrame::UpdateCaption()
{
    setWindowTitle(Caption());
}

bool CMainFrame::event(QEvent* event)
{
    // Keys typed while the keyboard is in this window come here before they are matched to the
    // shortcuts, unless a control inside claimed them.
    if (event->type() == QEvent::ShortcutOverride && TranslateKeypadKey(static_cast<QKeyEvent&>(*event)))
        return true;
    return QMainWindow::event(event);
}

bool CMainFrame::TranslateKeypadKey(QKeyEvent& key)
{
    // X matches shortcuts without the keypad modifier: keypad plus would find no shortcut and keypad
    // minus the minus key's. The keypad's keys are looked up here, modifier and all.
    if (!(key.modifiers() & Qt::KeypadModifier))
        return false;
    for (const res::Accelerator& accel : res::LoadAccelTable()) {
        if (accel.key[0] == key.keyCombination()) {
            key.accept();  // no shortcut runs it a second time
            m_router.Execute(accel.nID);
            return true;
        }
    }
    return false;
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A maximised child writes its own title into this window's and puts back a stale one when it is
    // restored; the caption is this window's alone. Setting it again ends here, as it is then equal.
    if (event->type() == QEvent::WindowTitleChange && m_pMDIArea && windowTitle() != Caption())
        UpdateCaption();
}

void CMainFrame::UpdateWindowList(QMenu& menu)
{
    // The child windows follow the window commands, numbered, the active one checked.
    static constexpr const char* kChildWindow = "childWindow";
    for (QAction* action : menu.actions())
        if (action->property(kChildWindow).isValid())
            delete action;
    QList<QMdiSubWindow*> children = m_pMDIArea->subWindowList(QMdiArea::CreationOrder);
    children.removeIf([](const QMdiSubWindow* child) { return child->isHidden(); });  // closing
    if (children.isEmpty())
        return;
    menu.addSeparator()->setProperty(kChildWindow, true);
    for (int i = 0; i < children.size(); ++i) {
        QMdiSubWindow* child = children[i];
        QAction* action = menu.addAction(res::NumberedEntry(i, child->windowTitle()));
        action->setProperty(kChildWindow, true);
        action->setCheckable(true);
        action->setChecked(child == m_pMDIArea->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, child] { m_pMDIArea->setActiveSubWindow(child); });
    }
}

void CMainFrame::TileChildren()
{
    m_pMDIArea->tileSubWindows();
    // Tiling places the windows once. Qt's area would tile them again, the active one first, at
    // every change of its size (a bar shown or hidden, full screen), until a tiled window moves:
    // it is told that one did, where it stands.
    for (QMdiSubWindow* child : m_pMDIArea->subWindowList()) {
        if (!child->isMinimized()) {
            QMoveEvent moved(child->pos(), child->pos());
            QCoreApplication::sendEvent(child, &moved);
            return;
        }
    }
}

void CMainFrame::ArrangeIcons()
{
    // Minimised windows in a row along the bottom of the area, left to right.
    int x = 0;
    for (QMdiSubWindow* child : m_pMDIArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!child->isMinimized())
            continue;
        const QSize size = child->size();
        child->move(x, m_pMDIArea->viewport()->height() - size.height());
        x += size.width();
    }
}
