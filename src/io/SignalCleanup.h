// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and folders that have a name before they are complete, removed when SIGINT, SIGTERM,
// SIGHUP or SIGXFSZ ends the process. Each is held as a folder descriptor and a short name, so
// that the handler needs only async-signal-safe calls. A program that handles one of these
// signals itself keeps its handler.

#include <csignal>
#include <string>

// A file `name` in the folder `dirFd`, or, with `isFolder`, a folder of files and folders of files.
void RemoveOnSignal(int dirFd, const std::string& name, bool isFolder = false);
void KeepOnSignal(int dirFd, const std::string& name);

// Holds back those signals while it lives, for steps that must not stop half-way; one that came
// meanwhile ends the process when it goes.
class CSignalsHeld {
public:
    CSignalsHeld();
    ~CSignalsHeld();
    CSignalsHeld(const CSignalsHeld&) = delete;
    CSignalsHeld& operator=(const CSignalsHeld&) = delete;

private:
    sigset_t m_previous;
};
