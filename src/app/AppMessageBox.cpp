// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>

#include "app/AppResources.h"
#include "app/CaptionWidth.h"
#include "framework/DialogUnits.h"
#include "io/LaterMessage.h"
#include "io/Message.h"

namespace {
// The window a message is about: the modal dialog in progress, else the window with the keyboard,
// else the main window (a file dialog has just closed and the window manager has not yet given the
// keyboard back). The box shows over it.
QWidget* MessageOwner()
{
    if (QWidget* dialog = QApplication::activeModalWidget())
        return dialog;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(window) && window->isVisible())
            return window;
    return nullptr;
}

// The box sizes itself to its text, and the window manager cuts the title of a short one: a row as
// wide as the title and a dialog's three buttons need keeps it whole.
void KeepTitleWhole(QMessageBox& box)
{
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        grid->addItem(new QSpacerItem(CaptionWidth(box, 3) - margins.left() - margins.right(), 0), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
}
}  // namespace

void InstallMessageBox()
{
    SetMessageHook([](const std::string& text) {
        QMessageBox box(QMessageBox::Warning, res::LoadString(res::AFX_IDS_APP_TITLE), QString::fromStdString(text),
                        QMessageBox::Ok, MessageOwner());
        SetCaptionFrame(&box, Qt::Dialog);
        KeepTitleWhole(box);
        box.exec();
    });
    // A message found while a picture is painted waits until the paint is over.
    SetLaterMessageHook([](const std::string& text) {
        QMetaObject::invokeMethod(qApp, [text] { ShowMessage(text); }, Qt::QueuedConnection);
    });
}
