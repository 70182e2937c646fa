// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Frames being built, such as the shadows the player makes, kept in an unnamed file in the user's
// cache folder rather than in memory: each appended frame is written there as a stream file holds
// it (rows of width bytes) and read back on demand like the frames of any stream file.

#include <memory>
#include <string>

#include "stream/FileFrames.h"
#include "stream/FrameSupply.h"
#include "stream/KvtFormat.h"

class CSharedFile;

class CSpooledFrames : public CFrameSupply {
public:
    // Room for the header's frame count of frames of its shape; null, with `error` saying where
    // and why, when the file can't be made or its disk hasn't the room.
    static std::shared_ptr<CSpooledFrames> Create(const KvtHeader& header, std::string& error);
    CSpooledFrames(std::shared_ptr<CSharedFile> file, std::shared_ptr<CFileFrames> reader, const KvtHeader& header);

    std::size_t Count() const override { return m_nCount; }
    CFrameRef Frame(std::size_t index) const override { return m_pReader->Frame(index); }
    // False after a message naming the folder and the reason when the frame can't be written.
    bool Append(FrameBuffer frame) override;
    bool HasFailedRead() const override { return m_pReader->HasFailedRead(); }

private:
    std::shared_ptr<CSharedFile> m_pFile;
    std::shared_ptr<CFileFrames> m_pReader;
    KvtHeader m_header;
    std::size_t m_nCount = 0;
};
