// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/MakerFileDialog.h"

#include <QFileDialog>
#include <utility>

namespace {
FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

std::optional<QString> RunQtFileDialog(QWidget* parent, const CFileDialogRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.kind == CFileDialogRequest::saveAs ? QFileDialog::AcceptSave
                                                                    : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(request.strFilter);
    dialog.setDefaultSuffix(request.strDefaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}
}  // namespace

std::optional<QString> ShowFileDialog(QWidget* parent, const CFileDialogRequest& request)
{
    if (const FileDialogHook& hook = Hook())
        return hook(parent, request);
    return RunQtFileDialog(parent, request);
}

FileDialogHook SetFileDialogHook(FileDialogHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}
