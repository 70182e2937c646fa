// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbered pictures, one PNG or PGM file per frame, that appear all together or not at all: a set
// of files of one folder (CFileSet). A failure, a signal or a kill leaves the pictures of those
// names as they were, and a second export into the folder waits for the first.

#include <filesystem>
#include <memory>
#include <vector>

#include "io/FileSet.h"
#include "media/FrameSink.h"
#include "media/NumberedName.h"

class CPictureSetSink : public CFrameSink {
public:
    // `format` is "png" or "pgm"; the pictures go into `folder` under `names`.
    CPictureSetSink(std::filesystem::path folder, CNumberedName names, const char* format);
    // The pictures join `set`, which its owner commits with the other files it holds; Finish
    // leaves them staged.
    CPictureSetSink(CFileSet& set, CNumberedName names, const char* format);

    // Refuses, before anything is written, names of frames first..last that hold something
    // other than a file the user may replace.
    bool Open(int first, int last);
    bool Write(const QImage& grey, int index) override;
    bool Finish() override;
    std::uint64_t GetBytesWritten() const override { return m_bytesWritten; }

private:
    std::unique_ptr<CFileSet> m_ownSet;  // when the pictures are a set of their own
    CFileSet& m_set;
    CNumberedName m_names;
    const char* m_format;
    int m_first = 0;
    std::vector<std::filesystem::path> m_staged;  // where frame m_first + i is written
    std::uint64_t m_bytesWritten = 0;
};
