// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbered pictures, one PNG or PGM file per frame, that appear all together or not at all. Each
// picture is written into a hidden folder beside its final place; only when the last one is
// complete are they moved to their names (renames within one folder's file system, which fail
// only when the disk does). A failure before that removes the hidden folder: no half set is left
// behind and files of the same names keep their bytes. A signal that ends the process removes the
// hidden folder too; one left by a killed process is removed by the next export into its folder.
// Symbolic links at the pictures' names are followed as the safe writer follows them.

#include <filesystem>
#include <string>
#include <vector>

#include "media/FrameSink.h"
#include "media/NumberedName.h"

class CPictureSetSink : public CFrameSink {
public:
    // `format` is "png" or "pgm"; the pictures go into `folder` under `names`.
    CPictureSetSink(std::filesystem::path folder, CNumberedName names, const char* format);
    ~CPictureSetSink() override;

    // Refuses, before anything is written, names of frames first..last that hold something
    // other than a file the user may replace; then makes the hidden folder.
    bool Open(int first, int last);
    bool Write(const QImage& grey, int index) override;
    bool Finish() override;
    std::uint64_t GetBytesWritten() const override { return m_bytesWritten; }

private:
    void RemoveStaging();
    void RemoveStaleStaging() const;

    std::filesystem::path m_folder;
    int m_folderFd = -1;
    CNumberedName m_names;
    const char* m_format;
    std::string m_strStaging;  // the hidden folder's name in m_folder
    std::vector<std::string> m_written;
    std::uint64_t m_bytesWritten = 0;
};
