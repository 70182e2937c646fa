// SPDX-License-Identifier: GPL-3.0-or-later
#include "XServer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
std::string& Unavailable()
{
    static std::string reason;
    return reason;
}

// Starts a program with its output into a pipe and reads the lines it writes until one says that it
// is ready: that line, or empty when the program ended (or failed to start) first. `command` gives
// the program and its arguments from the process id the program will run under.
std::string SpawnUntilReady(const std::function<std::vector<std::string>(pid_t)>& command,
                            const std::function<bool(const std::string&)>& isReady, pid_t& pid)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // goes with the tests, also when they are killed
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::close(fds[0]);
        const std::vector<std::string> argv = command(::getpid());
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string line;
    for (char c; pid > 0 && ::read(fds[0], &c, 1) == 1;) {
        if (c != '\n') {
            line += c;
        } else if (isReady(line)) {
            break;
        } else {
            line.clear();
        }
    }
    ::close(fds[0]);
    return isReady(line) ? line : std::string();
}
}  // namespace

CChildProcess::~CChildProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

CPrivateXServer::CPrivateXServer()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        Unavailable() = "no X server to type on: install the Debian packages xvfb and xdotool";
        return;
    }
    // Xvfb writes the number of the display it took once it accepts clients.
    const std::string number = SpawnUntilReady(
        [&xvfb](pid_t) {
            return std::vector<std::string>{xvfb.toStdString(), "-displayfd", "1", "-screen", "0", "1280x1024x24",
                                            "-nolisten", "tcp"};
        },
        [](const std::string& line) { return !line.empty(); }, m_pid);
    if (number.empty()) {
        Unavailable() = "no X server to type on: Xvfb did not start";
        return;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(":" + number));
    qputenv("QT_QPA_PLATFORM", "xcb");
}

CWindowManager::CWindowManager()
{
    if (!XServerUnavailable().empty())
        return;
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        Unavailable() = "no window manager: install the Debian package openbox";
        return;
    }
    // Openbox runs its start-up command once it manages the screen, with no output of its own: the
    // command writes into openbox's.
    const std::string ready = SpawnUntilReady(
        [&openbox](pid_t pid) {
            const std::string signal = "sh -c 'echo ready > /proc/" + std::to_string(pid) + "/fd/1'";
            return std::vector<std::string>{openbox.toStdString(), "--sm-disable", "--startup", signal};
        },
        [](const std::string& line) { return line == "ready"; }, m_pid);
    if (ready.empty())
        Unavailable() = "no window manager: openbox did not start";
}

const std::string& XServerUnavailable()
{
    return Unavailable();
}

bool PressKeys(const QStringList& keys)
{
    return QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys) == 0;
}

std::vector<WId> StackingOrder()
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    std::vector<WId> windows;
    if (!xprop.waitForFinished())
        return windows;
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x400006, 0x400009"
    static const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    const QString text = QString::fromLatin1(xprop.readAllStandardOutput());
    for (const QRegularExpressionMatch& match : id.globalMatch(text))
        windows.push_back(match.captured().toULongLong(nullptr, 16));
    return windows;
}
