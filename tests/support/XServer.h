// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// For tests that type on a real X server, as a user does. Their main() starts a private Xvfb before
// the QApplication and runs the application on it, under openbox for the tests of how a window
// manager stacks and activates the windows; xdotool presses the keys. Where no X server (or window
// manager) can be started, the tests skip and say why.

#include <QStringList>
#include <QWindow>
#include <string>
#include <sys/types.h>
#include <vector>

// How long the tests wait for the X server and its window manager to act: on a loaded machine a
// restack or a focus change can take seconds. A condition that holds ends the wait at once.
inline constexpr int kWindowManagerWaitMs = 30000;

// A program these tests started, ended with this object.
class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

protected:
    pid_t m_pid = -1;
};

// An Xvfb of the test program's own on a free display, which DISPLAY then names, with Qt's X
// platform chosen; Qt's offscreen platform when none starts.
class CPrivateXServer : public CChildProcess {
public:
    CPrivateXServer();
};

// Openbox managing the private X server's windows, started once the server is up.
class CWindowManager : public CChildProcess {
public:
    CWindowManager();
};

// Why the tests can't drive a real X server here; empty when they can.
const std::string& XServerUnavailable();

// Presses and releases each key in turn (xdotool's names: "KP_Add", "minus", "p") on the window
// that has the keyboard; false when xdotool failed.
bool PressKeys(const QStringList& keys);

// The windows the window manager manages, from the bottom of its stack to the top.
std::vector<WId> StackingOrder();

#define SKIP_WITHOUT_X_SERVER()                 \
    if (!XServerUnavailable().empty())          \
    GTEST_SKIP() << XServerUnavailable()
