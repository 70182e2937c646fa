#include "XServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string& Unavailable()
{
    static std::string reason;
    return reason;
}

// Starts Xvfb, which writes the number of the display it took to `fd` once it accepts clients.
pid_t SpawnXvfb(const QString& program, int fd)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // goes with the tests, also when they are killed
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    const std::string path = program.toStdString();
    const std::string fdText = std::to_string(fd);
    ::execl(path.c_str(), "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
    ::_exit(127);
}
}  // namespace

CPrivateXServer::CPrivateXServer()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    int fds[2];
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() || ::pipe(fds) != 0) {
        Unavailable() = "no X server to type on: install the Debian packages xvfb and xdotool";
        return;
    }
    m_pid = SpawnXvfb(xvfb, fds[1]);
    ::close(fds[1]);
    std::string number;
    char c;
    while (m_pid > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty()) {
        Unavailable() = "no X server to type on: Xvfb did not start";
        return;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(":" + number));
    qputenv("QT_QPA_PLATFORM", "xcb");
}

CPrivateXServer::~CPrivateXServer()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

const std::string& XServerUnavailable()
{
    return Unavailable();
}

bool PressKeys(const QStringList& keys)
{
    return QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys) == 0;
}
