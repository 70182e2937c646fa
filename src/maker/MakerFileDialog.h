// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file dialogs of the maker wizard, behind a replaceable hook so tests can answer them.

#include <QFile>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

class QWidget;

struct CFileDialogRequest {
    enum Kind { saveAs, open };
    Kind kind;
    QString strFilter;         // a name filter, "Kvt Files (*.kvt)"
    QString strDefaultSuffix;  // added to a typed name without an extension, "kvt"
};

// The chosen full path, or nothing when the user cancelled.
using FileDialogHook = std::function<std::optional<QString>(QWidget* parent, const CFileDialogRequest&)>;

// The save-as dialog asks before overwriting; the open dialog takes a name of a file that does
// not exist (the caller finds out).
std::optional<QString> ShowFileDialog(QWidget* parent, const CFileDialogRequest& request);

// Installs a new hook and returns the previous one; an empty hook shows the real dialogs.
FileDialogHook SetFileDialogHook(FileDialogHook hook);

// A name from a dialog or an edit as the file system spells it.
inline std::filesystem::path LocalPath(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}
