// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files of one folder that are worth something only together (the shares of a secret, the
// numbered pictures of an export), replaced all together or not at all.
//
// The new files are written, each with the safe writer, into a hidden folder beside their targets
// (.kvt-set-XXXXXX). When all are complete, each old file is kept there under a second name (a hard
// link) and each new one is linked there too; only then are the new ones renamed into place. A
// rename that fails puts every old file back, a signal waits until the set is whole, and a run
// killed in between leaves the hidden folder, from which the next run into the folder puts the old
// files back (or, once every rename was done, keeps the new ones) and removes it. A run holds the
// folder locked from Open to the end, so two runs never mix their files: the second waits.
//
// The targets are followed and checked as the safe writer does (a link to a file on the same file
// system is replaced at the file it leads to).

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class CFileSet {
public:
    // `folder` empty: the current folder.
    explicit CFileSet(std::filesystem::path folder);
    // Without a successful Commit the targets are as they were and the hidden folder goes.
    ~CFileSet();
    CFileSet(const CFileSet&) = delete;
    CFileSet& operator=(const CFileSet&) = delete;

    // Locks the folder (saying so and waiting while another run holds it), puts right what killed
    // runs left in it and makes the hidden folder. False, with the error, when that fails.
    bool Open();

    // Adds the file `name` of the folder to the set and returns the path to write it at, or an
    // empty path, with the error, when the file there may not be replaced.
    std::filesystem::path Add(const std::string& name);

    // Puts every written file in place of its target, or none. When a failure leaves the set
    // neither old nor new, the error says which files hold which.
    bool Commit();

    const std::filesystem::path& GetFolder() const { return m_folder; }
    // The file a failure concerns and why it failed.
    const std::filesystem::path& GetErrorPath() const { return m_errorPath; }
    const std::string& GetError() const { return m_strError; }

    // For tests: called before the i-th file is renamed into place; returning false makes that
    // rename fail with the errno the hook set.
    using RenameHook = std::function<bool(std::size_t i)>;
    void SetRenameHook(RenameHook hook) { m_renameHook = std::move(hook); }

private:
    bool Lock();
    void PutRightLeftovers();
    bool KeepOldFiles();
    bool RenameIntoPlace();
    void Abandon();
    bool Fail(const std::filesystem::path& path, const std::string& why);
    std::filesystem::path FolderName() const;

    std::filesystem::path m_folder;
    int m_folderFd = -1;
    int m_stagingFd = -1;
    std::string m_strStaging;  // the hidden folder's name
    std::vector<std::string> m_names;
    RenameHook m_renameHook;
    std::filesystem::path m_errorPath;
    std::string m_strError;
};
