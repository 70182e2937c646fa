// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recent-file list: the last files opened or saved, most recent first, kept in the settings
// under "Recent File List", File1..FileN.

#include <QString>
#include <filesystem>
#include <vector>

class CRecentFileList {
public:
    // The list's length on screen; names longer than this are shortened in the middle.
    static constexpr int kMaxDisplayLength = 30;

    explicit CRecentFileList(int nSize);

    // Puts `path` first, removing an older entry for it and the oldest beyond the size.
    void Add(const std::filesystem::path& path);
    void Remove(int nIndex);
    int GetCount() const { return static_cast<int>(m_paths.size()); }
    const std::filesystem::path& operator[](int nIndex) const { return m_paths.at(static_cast<std::size_t>(nIndex)); }
    // The name shown in the menu: the file's name alone when it is in the current folder,
    // otherwise the path, shortened to kMaxDisplayLength by leaving out folders after the first.
    QString GetDisplayName(int nIndex) const;

    void ReadList();
    void WriteList() const;

private:
    int m_nSize;
    std::vector<std::filesystem::path> m_paths;
};

// Shortens `path` to at most `maxLength` characters: "/first/.../last/name", keeping as many
// trailing folders as fit; the file name alone when even "/first/.../name" is too long.
QString AbbreviatePath(const QString& path, int maxLength);
