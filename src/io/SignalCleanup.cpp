// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/SignalCleanup.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
struct PendingName {
    std::atomic<int> dirFd{-1};
    bool isFolder = false;
    char name[48] = {};
};
std::array<PendingName, 16> g_pendingNames;

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};

// Empties a folder with the raw directory call, which takes no lock, then removes it; folders in
// it down to `depth` levels too.
void RemoveFolder(int dirFd, const char* name, int depth = 1)
{
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) char entries[4096];
        for (long n; (n = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0;) {
            for (long at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 &&
                    ::unlinkat(fd, entry->d_name, 0) != 0 && depth > 0)
                    RemoveFolder(fd, entry->d_name, depth - 1);
                at += entry->d_reclen;
            }
        }
        ::close(fd);
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

void RemovePendingNames(int signal)
{
    for (PendingName& pending : g_pendingNames) {
        const int dirFd = pending.dirFd.load();
        if (dirFd < 0)
            continue;
        if (pending.isFolder)
            RemoveFolder(dirFd, pending.name);
        else
            ::unlinkat(dirFd, pending.name, 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallSignalCleanup()
{
    static const bool installed = [] {
        for (const int signal : kCleanedSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
                std::signal(signal, RemovePendingNames);
        }
        return true;
    }();
    (void)installed;
}
}  // namespace

void RemoveOnSignal(int dirFd, const std::string& name, bool isFolder)
{
    InstallSignalCleanup();
    for (PendingName& pending : g_pendingNames) {
        if (pending.dirFd.load() >= 0)
            continue;
        std::strncpy(pending.name, name.c_str(), sizeof pending.name - 1);
        pending.isFolder = isFolder;
        pending.dirFd.store(dirFd);
        return;
    }
}

void KeepOnSignal(int dirFd, const std::string& name)
{
    for (PendingName& pending : g_pendingNames)
        if (pending.dirFd.load() == dirFd && name == pending.name)
            pending.dirFd.store(-1);
}

CSignalsHeld::CSignalsHeld()
{
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kCleanedSignals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

CSignalsHeld::~CSignalsHeld()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}
