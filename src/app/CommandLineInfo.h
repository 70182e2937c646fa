// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up command line: a file to open, and the switches that keep the splash window away.

#include <QStringList>
#include <filesystem>

struct CCommandLineInfo {
    enum ShellCommand { FileNew, FileOpen };

    ShellCommand m_nShellCommand = FileNew;
    std::filesystem::path m_strFileName;
    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
};

// Parses the arguments after the program's name. The first argument that is not a switch names the
// file; a switch starts with '-' (not '/', which starts an absolute path here). "Embedding" and
// "Automation", in any case, switch the splash off; other switches are ignored.
CCommandLineInfo ParseCommandLine(const QStringList& arguments);
