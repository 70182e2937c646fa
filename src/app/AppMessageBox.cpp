#include "app/AppMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "app/AppResources.h"
#include "framework/Message.h"

void InstallMessageBox()
{
    SetMessageHook([](const std::string& text) {
        QMessageBox box(QMessageBox::Warning, res::LoadString(res::AFX_IDS_APP_TITLE), QString::fromStdString(text),
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}
