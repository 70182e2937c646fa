// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document base: a title, the path it was opened from or saved to, the "modified" flag, and
// loading and saving by path through Serialize. Qt-free, so documents can be tested alone.

#include <filesystem>
#include <string>

#include "framework/CmdTarget.h"

class CArchive;
class CFile;

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Loads or stores the document's content; the archive says which.
    virtual void Serialize(CArchive& ar) = 0;

    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(std::string title) { m_strTitle = std::move(title); }
    const std::filesystem::path& GetPathName() const { return m_strPathName; }
    // Also titles the document with the file's name.
    void SetPathName(const std::filesystem::path& path);

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }

    // Loads the document from `path`, or from `opened` when the caller has already opened (and
    // tested) that file. False, after the framework's message, when the file can't be read or runs
    // out of data where a value was expected; then the document must be destroyed.
    virtual bool OnOpenDocument(const std::filesystem::path& path, CFile* opened = nullptr);

    // Saves the document to `path` through the safe writer: `path` is replaced only when Serialize
    // wrote something and every byte reached the disk, so an existing file is never emptied, left
    // half-written, or replaced when it is no regular file. False when nothing was saved.
    virtual bool OnSaveDocument(const std::filesystem::path& path);

private:
    std::string m_strTitle;
    std::filesystem::path m_strPathName;
    bool m_bModified = false;
};
