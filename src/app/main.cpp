// SPDX-License-Identifier: GPL-3.0-or-later
// KVTPlayer: the desktop player.

#include <QApplication>
#include <csignal>
#include <iostream>

#include "app/AppMessageBox.h"
#include "app/InfoSwitches.h"
#include "app/KVTPlayerApp.h"

int main(int argc, char** argv)
{
    if (const auto text = InfoSwitchText({argv + 1, argv + argc})) {
        std::cout << *text;
        return 0;
    }
    // A save past the file-size limit fails with the save's message; the signal would end the
    // player and lose every document not yet saved.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    InstallMessageBox();
    CKVTPlayerApp theApp;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!theApp.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
