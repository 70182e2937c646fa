// main() of the widget tests: one QApplication for the whole program, settings kept in a
// folder of the test's own so that nothing leaks into the user's configuration or between runs.

#include <QApplication>
#include <gtest/gtest.h>

#include "TempDir.h"

int main(int argc, char** argv)
{
    TempDir config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path().string()));
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
