// SPDX-License-Identifier: GPL-3.0-or-later
// main() of the widget tests: one QApplication for the whole program, settings kept in a
// folder of the test's own so that nothing leaks into the user's configuration or between runs.
// Tests built with KVT_ON_X_SERVER run it on an X server of their own, with KVT_WITH_WINDOW_MANAGER
// under openbox.

#include <QApplication>
#include <gtest/gtest.h>

#include "TempDir.h"
#ifdef KVT_ON_X_SERVER
#include "XServer.h"
#endif

int main(int argc, char** argv)
{
    TempDir config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path().string()));
#ifdef KVT_ON_X_SERVER
    const CPrivateXServer xServer;  // outlives the application
#endif
#ifdef KVT_WITH_WINDOW_MANAGER
    const CWindowManager windowManager;
#endif
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
