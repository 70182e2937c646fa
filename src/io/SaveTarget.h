// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder and the name a save lands in. A symbolic link at the target is followed only where
// the kernel's protected_symlinks rule would follow it: outside a sticky, world-writable folder,
// or there when the link is the user's own or the folder owner's. A link someone else planted in
// such a folder (the system's temporary folder, say) is refused, whatever the system's setting.
// The following itself is left to path lookup, so that the kernel's own rules apply: the file the
// link leads to is opened by the kernel, and the save then works in the folder that holds it.
//
// A file found there is replaced only as the kernel's protected_regular rule would let it be opened
// for writing, whatever the system's setting: in a sticky, world-writable folder, a file of a user
// other than the writer and the folder's owner is left alone, so that nothing the writer saves
// lands in a file someone else prepared for it.

#include <filesystem>
#include <string>
#include <sys/types.h>

class CSaveTarget {
public:
    CSaveTarget() = default;
    ~CSaveTarget();
    CSaveTarget(const CSaveTarget&) = delete;
    CSaveTarget& operator=(const CSaveTarget&) = delete;

    // Opens the folder and finds the name in it. False, with GetError(), when the folder can't be
    // opened, the name is no file name, or a link at the target may not or can't be followed.
    bool Resolve(const std::filesystem::path& target);

    // False, with GetError(), when the file `existing` (found at the name) may not be replaced: no
    // regular file, or another user's in a shared folder.
    bool MayReplace(const struct stat& existing);

    int GetFolder() const { return m_dirFd; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetError() const { return m_strError; }

private:
    bool FollowLink(const struct stat& link);
    bool Fail(const std::string& what);

    int m_dirFd = -1;
    std::string m_name;
    std::string m_strError;
};

// The permission bits a file replacing `existing` gets: the old file's, less the write bits for
// the group and others that a new file of the writer would not have (the umask's), so that no file
// is left writable by others only because the one it replaced was.
mode_t ReplacementMode(const struct stat& existing);
