#pragma once
// For tests that type on a real X server, as a user does. Their main() starts a private Xvfb before
// the QApplication and runs the application on it; xdotool presses the keys. Where no X server can
// be started (Xvfb or xdotool missing, or the server would not start), the tests skip and say why.

#include <QStringList>
#include <string>
#include <sys/types.h>

// An Xvfb of the test program's own on a free display, which DISPLAY then names, with Qt's X
// platform chosen; Qt's offscreen platform when none starts.
class CPrivateXServer {
public:
    CPrivateXServer();
    ~CPrivateXServer();
    CPrivateXServer(const CPrivateXServer&) = delete;
    CPrivateXServer& operator=(const CPrivateXServer&) = delete;

private:
    pid_t m_pid = -1;
};

// Why the tests can't drive a real X server here; empty when they can.
const std::string& XServerUnavailable();

// Presses and releases each key in turn (xdotool's names: "KP_Add", "minus", "p") on the window
// that has the keyboard; false when xdotool failed.
bool PressKeys(const QStringList& keys);

#define SKIP_WITHOUT_X_SERVER()                 \
    if (!XServerUnavailable().empty())          \
    GTEST_SKIP() << XServerUnavailable()
