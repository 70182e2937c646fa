// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/SpooledFrames.h"

#include <cerrno>
#include <cstring>

#include "io/CacheFile.h"
#include "io/Message.h"
#include "io/SharedFile.h"

std::shared_ptr<CSpooledFrames> CSpooledFrames::Create(const KvtHeader& header, std::string& error)
{
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height);
    std::shared_ptr<CSharedFile> file = CreateUnnamedCacheFile(frameBytes * header.frameCount, error);
    if (!file)
        return nullptr;
    std::shared_ptr<CFileFrames> reader = CFileFrames::Create(file, header, 0, header.frameCount);
    if (!reader) {
        error = file->GetName() + ": not enough memory for the images read back";
        return nullptr;
    }
    return std::make_shared<CSpooledFrames>(std::move(file), std::move(reader), header);
}

CSpooledFrames::CSpooledFrames(std::shared_ptr<CSharedFile> file, std::shared_ptr<CFileFrames> reader,
                               const KvtHeader& header)
    : m_pFile(std::move(file)), m_pReader(std::move(reader)), m_header(header)
{
}

bool CSpooledFrames::Append(FrameBuffer frame)
{
    // The rows close up in the buffer, which is ours now: the alignment bytes stay out of the file.
    const auto width = static_cast<std::size_t>(m_header.width);
    const auto stride = static_cast<std::size_t>(m_header.RowStride());
    const auto height = static_cast<std::size_t>(m_header.height);
    for (std::size_t r = 1; stride != width && r < height; ++r)
        std::memmove(frame.get() + r * width, frame.get() + r * stride, width);
    const std::uint64_t frameBytes = std::uint64_t{width} * height;
    if (!m_pFile->WriteAt(frame.get(), frameBytes, m_nCount * frameBytes)) {
        ShowMessage("File write error: " + m_pFile->GetName() + ": " + std::strerror(errno));
        return false;
    }
    ++m_nCount;
    return true;
}
