// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLineInfo.h"

CCommandLineInfo ParseCommandLine(const QStringList& arguments)
{
    CCommandLineInfo info;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            const QString flag = argument.mid(1);
            if (flag.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0)
                info.m_bRunEmbedded = true;
            else if (flag.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0)
                info.m_bRunAutomated = true;
        } else if (info.m_strFileName.empty()) {
            info.m_strFileName = argument.toStdString();
        }
    }
    if (!info.m_strFileName.empty())
        info.m_nShellCommand = CCommandLineInfo::FileOpen;
    info.m_bShowSplash = !info.m_bRunEmbedded && !info.m_bRunAutomated;
    return info;
}
