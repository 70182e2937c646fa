// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Room on disk held for a file before its first byte is written, so that a command that can't
// finish is refused at once rather than after hours. Files written at the same time on one file
// system share its free space: each reservation counts the others still held in this process.

#include <cstdint>
#include <string>
#include <sys/types.h>

class CDiskReservation {
public:
    CDiskReservation() = default;
    ~CDiskReservation() { Release(); }
    CDiskReservation(const CDiskReservation&) = delete;
    CDiskReservation& operator=(const CDiskReservation&) = delete;

    // Holds `bytes` on the file system of the folder `dirFd`. False, with GetError() ("needs
    // 512 GB, 12 GB free"), when they don't fit there or pass the process's file-size limit.
    bool Reserve(int dirFd, std::uint64_t bytes);
    void Release();
    const std::string& GetError() const { return m_strError; }

private:
    dev_t m_device = 0;
    std::uint64_t m_nBytes = 0;
    std::string m_strError;
};

// A byte count as people read it: "512 GB", "1.5 MB", "300 bytes".
std::string FormatBytes(std::uint64_t bytes);
