// SPDX-License-Identifier: GPL-3.0-or-later
// KVT Studio: pictures and video to shares, and any of them revealed, in one window.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>
#include <iostream>

#include "studio/StudioHelp.h"
#include "studio/StudioWindow.h"

int main(int argc, char** argv)
{
    if (const auto text = StudioInfoText({argv + 1, argv + argc})) {
        std::cout << *text;
        return 0;
    }
    // A save past the file-size limit fails with the save's message rather than ending the studio.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    // The player's organisation, so both keep their settings side by side.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("KVTStudio"));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    QTranslator studioTexts;
    if (studioTexts.load(QLocale(), QStringLiteral("kvtstudio"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&studioTexts);
    CStudioWindow window;
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.OpenFile(arguments.at(1));
    return QApplication::exec();
}
