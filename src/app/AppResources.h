// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's resources, addressed by number as the rest of the program addresses them:
// menus 128 and 129, accelerator table 128, toolbars 128 and 132, and the string table (captions,
// command prompts, status-bar texts). Every user-interface text of the shell lives in
// AppResources.cpp.

#include <QKeySequence>
#include <QString>
#include <vector>

namespace res {
inline constexpr int IDR_MAINFRAME = 128;     // menu, accelerators, toolbar, icon, title
inline constexpr int IDR_KVTTYPE = 129;       // child-window menu, document icon, document string
inline constexpr int IDR_FULLSCREEN = 132;    // the full-screen bar
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr int ID_FILE_NEW_FRAMEWORK = 57600;  // the framework's own new-document command
inline constexpr int ID_INDICATOR_CAPS = 59143;
inline constexpr int ID_INDICATOR_NUM = 59144;
inline constexpr int ID_INDICATOR_SCRL = 59145;
inline constexpr int kRecentFileCount = 4;
inline constexpr int ID_SEPARATOR = 0;

struct MenuItem {
    int nID;  // ID_SEPARATOR for a separator
    const char* caption;
    bool bGrayed = false;
};
struct Popup {
    const char* caption;
    std::vector<MenuItem> items;
};
// The top-level popups of menu 128 or 129.
const std::vector<Popup>& LoadMenu(int nIDResource);

struct Accelerator {
    int nID;
    QKeySequence key;
};
const std::vector<Accelerator>& LoadAccelTable();

// The buttons of toolbar 128 or 132, ID_SEPARATOR for a separator.
const std::vector<int>& LoadToolBar(int nIDResource);
// The button picture of a toolbar command.
QString ToolBarPicture(int nID);

// The string-table entry `nID`; empty when there is none. A command's entry holds its prompt and
// its tooltip separated by a new-line character.
QString LoadString(int nID);
QString CommandPrompt(int nID);
QString CommandToolTip(int nID);

// Texts of the shell that are not string-table entries.
// "&1 name": an entry of the recent-file list or of the window list.
QString NumberedEntry(int nIndex, const QString& name);
QString FullScreenBarCaption();
// "KVTPlayer - title", "KVTPlayer - [title]" while the document's window is maximised, "KVTPlayer"
// without a document.
QString MainFrameCaption(const QString& documentTitle, bool bMaximized);
}  // namespace res
