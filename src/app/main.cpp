// KVTPlayer: the desktop player.

#include <QApplication>

#include "app/AppMessageBox.h"
#include "app/KVTPlayerApp.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    InstallMessageBox();
    CKVTPlayerApp theApp;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!theApp.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
