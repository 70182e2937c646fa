// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureSource.h"

#include <QString>
#include <algorithm>

#include "media/GreyConversion.h"

std::unique_ptr<QImageReader> CPictureSource::MakeReader(const std::filesystem::path& path)
{
    auto reader = std::make_unique<QImageReader>(QString::fromStdString(path.string()));
    reader->setAutoTransform(true);
    return reader;
}

bool CPictureSource::Open(const std::vector<std::filesystem::path>& pictures)
{
    m_paths = pictures;
    for (const std::filesystem::path& path : m_paths) {
        const auto reader = MakeReader(path);
        if (!reader->canRead()) {
            const bool unknown = reader->error() == QImageReader::UnsupportedFormatError;
            Fail(path, unknown ? kNotAPicture : reader->errorString().toStdString());
            return false;
        }
        // Formats that hold one picture may say 0 (or -1 for "can't tell").
        m_frameCounts.push_back(std::max(1, reader->imageCount()));
        m_totalFrames += static_cast<std::uint64_t>(m_frameCounts.back());
    }
    m_reader = MakeReader(m_paths.front());
    if (!ReadPicture())
        return false;
    m_firstSize = m_picture.size();
    m_pictureWaiting = true;
    if (m_paths.size() == 1 && m_frameCounts.front() > 1 && m_reader->nextImageDelay() > 0)
        m_rate = 1000.0 / m_reader->nextImageDelay();
    return true;
}

bool CPictureSource::ReadPicture()
{
    // Qt has no error of its own for a picture past its allocation limit ("Unable to read image
    // data"); a failed picture whose 32-bit form would pass the limit is named with its size.
    const QSize size = m_reader->size();
    if (m_reader->read(&m_picture)) {
        ++m_framesRead;
        return true;
    }
    const std::uint64_t bytes = 4 * static_cast<std::uint64_t>(std::max(size.width(), 0)) *
                                static_cast<std::uint64_t>(std::max(size.height(), 0));
    const int limitMb = QImageReader::allocationLimit();
    const std::string reason =
        limitMb > 0 && bytes > (static_cast<std::uint64_t>(limitMb) << 20)
            ? std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels, more than the " +
                  std::to_string(limitMb) + " MB a picture may take in memory"
            : m_reader->errorString().toStdString();
    Fail(m_paths[m_current], reason, static_cast<std::uint64_t>(m_framesRead) + 1);
    return false;
}

FrameRead CPictureSource::ReadFrame(QImage& grey)
{
    while (!m_pictureWaiting) {
        if (m_current == m_paths.size())
            return FrameRead::end;
        if (m_framesRead == m_frameCounts[m_current]) {
            if (++m_current < m_paths.size()) {
                m_reader = MakeReader(m_paths[m_current]);
                m_framesRead = 0;
            }
            continue;
        }
        if (!ReadPicture())
            return FrameRead::failed;
        m_pictureWaiting = true;
    }
    m_pictureWaiting = false;
    ToGreyOnWhite(m_picture, grey);
    return FrameRead::frame;
}
