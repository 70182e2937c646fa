// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioSource.h"

#include <QImageReader>
#include <fstream>

#include "studio/CaughtMessage.h"
#include "stream/KvtFormat.h"

bool IsStreamFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    char magic[2] = {};
    return file.read(magic, 2) && kvt::IsKvtFileType(static_cast<std::uint16_t>(
                                      static_cast<unsigned char>(magic[0]) | static_cast<unsigned char>(magic[1]) << 8));
}


bool CStudioSource::Open(const std::filesystem::path& path, const VideoRange& range)
{
    CStudioSource opened;
    opened.m_path = path;
    opened.m_range = range;
    opened.m_kind = IsStreamFile(path) ? SourceKind::stream : SourceKind::pictures;
    if (!opened.Reopen()) {
        m_error = opened.m_error;
        return false;
    }
    if (!opened.ReadNext(opened.m_frame)) {
        m_error = opened.m_error.empty() ? path.string() + ": no frames" : opened.m_error;
        return false;
    }
    opened.m_first = opened.m_frame;
    *this = std::move(opened);
    return true;
}

void CStudioSource::Close()
{
    *this = CStudioSource();
}

bool CStudioSource::Reopen()
{
    m_nextIndex = 0;
    if (m_kind == SourceKind::stream) {
        CCaughtMessage message;
        m_stream = std::make_unique<CStreamFileReader>();
        if (!m_stream->Open(m_path)) {
            m_error = m_path.string() + ": " + message.GetText();
            return false;
        }
        const KvtHeader& header = m_stream->GetHeader();
        m_size = QSize(header.width, header.height);
        m_frameCount = header.frameCount;
        return true;
    }
    m_frames = OpenFrameSource({m_path}, m_range, m_error);
    if (!m_frames)
        return false;
    m_size = m_frames->GetFrameSize();
    m_frameCount = m_frames->GetExpectedFrameCount();
    m_rate = m_frames->GetFrameRate();
    m_kind = QImageReader(QString::fromStdString(m_path.string())).canRead() ? SourceKind::pictures : SourceKind::video;
    return true;
}

bool CStudioSource::ReadNext(QImage& frame)
{
    if (m_kind == SourceKind::stream) {
        // Frame buffers and QImage's grey rows are both padded to 4 bytes.
        frame = QImage(m_size, QImage::Format_Grayscale8);
        CCaughtMessage message;
        if (!m_stream->ReadFrame(frame.bits())) {
            m_error = m_path.string() + ": " + (message.GetText().empty() ? "no more frames" : message.GetText());
            return false;
        }
    } else {
        const FrameRead read = m_frames->ReadFrame(frame);
        if (read != FrameRead::frame) {
            m_error = read == FrameRead::failed ? m_frames->GetError() : m_path.string() + ": no more frames";
            return false;
        }
    }
    ++m_nextIndex;
    return true;
}

bool CStudioSource::Seek(std::uint64_t index)
{
    if (m_kind == SourceKind::none)
        return false;
    if (index + 1 == m_nextIndex)
        return true;
    if (m_kind == SourceKind::stream) {
        if (index > 0xFFFFFFFFu || !m_stream->SeekFrame(static_cast<std::uint32_t>(index))) {
            m_error = m_path.string() + ": no frame " + std::to_string(index + 1);
            return false;
        }
        m_nextIndex = index;
    } else if (index < m_nextIndex && !Reopen()) {
        return false;
    }
    QImage frame;
    while (m_nextIndex <= index)
        if (!ReadNext(frame))
            return false;
    m_frame = std::move(frame);
    m_index = index;
    return true;
}
