// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A started application with settings of its own, a folder for files and a message recorder.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "app/KVTPlayerApp.h"
#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"

class AppTest : public testing::Test {
protected:
    AppTest()
    {
        // Each test reads and writes a profile of its own.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path().string()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_config.Path().string()));
    }

    bool Start(const QStringList& arguments = {})
    {
        m_app = std::make_unique<CKVTPlayerApp>();
        const bool started = m_app->InitInstance(arguments);
        // The splash would take the tests' first key press.
        if (CSplashWnd* splash = CSplashWnd::Current())
            splash->HideSplash();
        return started;
    }

    // A well-formed stream file of `frames` frames of 3 x 2 pixels.
    std::filesystem::path StreamFile(const std::string& name, int frames = 2)
    {
        auto bytes = HeaderBytes(3, 2, static_cast<std::uint16_t>(frames), 6);
        for (int i = 0; i < 6 * frames; ++i)
            bytes.push_back(static_cast<unsigned char>(40 * i));
        WriteBytes(m_dir / name, bytes);
        return m_dir / name;
    }

    // Makes the main window the active one, whose keys are the player's; false if it did not become so.
    bool Activate() const
    {
        Frame().activateWindow();
        return QTest::qWaitFor([this] { return QApplication::activeWindow() == &Frame(); });
    }

    CMainFrame& Frame() const { return *m_app->GetMainFrame(); }
    CMultiDocTemplate& Template() const { return m_app->GetDocTemplate(); }
    CCommandRouter& Router() const { return m_app->GetRouter(); }
    bool Enabled(int id) const { return Router().QueryState(id).IsEnabled(); }

    // The visible entries of a popup as their texts, "-" for a separator, "(grey)" after a disabled
    // entry; the popup's actions are refreshed first, as before it shows.
    std::vector<std::string> Entries(QMenu* menu) const
    {
        Router().UpdateActions();
        std::vector<std::string> entries;
        for (QAction* action : menu->actions()) {
            if (!action->isVisible())
                continue;
            std::string entry = action->isSeparator() ? "-" : action->text().toStdString();
            if (!action->isSeparator() && !action->isEnabled())
                entry += " (grey)";
            entries.push_back(entry);
        }
        return entries;
    }

    std::vector<std::string> PopupTitles() const
    {
        std::vector<std::string> titles;
        for (QMenu* menu : Frame().GetMenus())
            titles.push_back(menu->title().toStdString());
        return titles;
    }

    TempDir m_config;
    TempDir m_dir;
    MessageRecorder m_messages;
    std::unique_ptr<CKVTPlayerApp> m_app;
};
