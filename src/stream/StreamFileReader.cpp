#include "stream/StreamFileReader.h"

#include <cstring>

#include "framework/FrameworkStrings.h"
#include "framework/Message.h"
#include "stream/Archive.h"
#include "stream/StreamFileCheck.h"

CStreamFileReader::CStreamFileReader() = default;

CStreamFileReader::~CStreamFileReader() = default;

bool CStreamFileReader::Open(const std::filesystem::path& path, std::uint64_t framesInMemory)
{
    m_archive.reset();
    m_header.Clear();
    m_nFramesRead = 0;
    if (!CheckStreamFile(path, m_file))
        return false;
    m_archive = std::make_unique<CArchive>(m_file.GetDescriptor(), CArchive::load);
    try {
        if (!m_header.ReadHeader(*m_archive))
            return false;
    } catch (const CArchiveException& e) {
        ShowMessage(e.m_cause == CArchiveException::endOfFile ? framework_strings::kFailedInvalidFormat
                                                              : framework_strings::kFailedToOpenDoc);
        return false;
    }
    if (!m_header.CheckFrameGeometry(framesInMemory)) {
        m_header.Clear();
        return false;
    }
    return true;
}

bool CStreamFileReader::ReadFrame(BYTE* frame)
{
    if (!m_archive || m_nFramesRead >= m_header.GetFrameCount())
        return false;
    try {
        const std::size_t filled = m_header.ReadFrameRows(*m_archive, frame);
        std::memset(frame + filled, 0, m_header.GetFrameBytes() - filled);
    } catch (const CArchiveException&) {
        ShowMessage(framework_strings::kFailedToOpenDoc);
        m_archive.reset();
        return false;
    }
    ++m_nFramesRead;
    return true;
}
