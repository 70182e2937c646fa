// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a file so that a failure never costs the old one, and no other user can turn the write
// against the writer. The bytes go to an unnamed file in the target's folder (O_TMPFILE; where
// the file system lacks it, a random name created exclusively), which is flushed to disk and then
// renamed over the target, the folder synced after. Until then the target is untouched; an
// abandoned or interrupted write leaves nothing behind.
//
// What the saved file keeps of the one it replaces: its permission bits and, where the writer may
// set them, its owner and group. A symbolic link at the target stays a link and is followed where
// the kernel would follow it (see CSaveTarget); a link another user planted in a shared folder is
// refused. A hard-linked target is replaced under the saved name only; its other names keep the
// old bytes. A target that exists and is not a regular file (a device, a pipe, a folder) is never
// replaced.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "io/DiskSpace.h"
#include "io/SaveTarget.h"

class CArchive;

class CAtomicFile {
public:
    explicit CAtomicFile(std::filesystem::path target);
    // Without a successful Commit nothing is left behind and the target is untouched.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Makes the file to write, with room held for `bytesToWrite` (when known). False when the
    // target is no regular file, may not be written, the folder takes no new file or its file
    // system has no room; GetError() says why.
    bool Open(std::uint64_t bytesToWrite = 0);
    int GetDescriptor() const { return m_fd; }

    // Flushes the file, gives it the target's permissions and puts it in place of the target.
    // False, with the target as it was, when any step fails.
    bool Commit();
    const std::string& GetError() const { return m_strError; }

private:
    // The two halves of Commit: make the complete file durable under a name of its own in the
    // target's folder, then rename it over the target.
    bool Finish();
    bool Replace();
    bool Fail(const std::string& what);
    void Discard();

    std::filesystem::path m_target;
    CSaveTarget m_place;                  // the folder and name replaced: a link's destination
    CDiskReservation m_room;
    int m_fd = -1;
    bool m_bUnnamed = false;              // O_TMPFILE: no name until Finish
    std::string m_strTempName;            // name in the folder while it has one
    std::string m_strError;
};

// Returns true when the target now holds what `write` wrote. `write` returns false to abandon.
// `bytes`, when known, is held on disk first; `error`, when given, says why a failure failed.
bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(CArchive& ar)>& write, std::uint64_t bytes = 0,
                         std::string* error = nullptr);
