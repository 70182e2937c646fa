// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures through Qt's image readers, one frame each, or every frame of an animated one (GIF,
// WebP), in the order given. Turned upright as their EXIF orientation says.

#include <QImageReader>
#include <memory>

#include "media/FrameSource.h"

class CPictureSource : public CFrameSource {
public:
    // Checks that Qt reads every picture and reads the first frame; false after Fail.
    bool Open(const std::vector<std::filesystem::path>& pictures);

    QSize GetFrameSize() const override { return m_firstSize; }
    std::uint64_t GetExpectedFrameCount() const override { return m_totalFrames; }
    // An animation's rate by its first frame's delay; still pictures and sets of them say none.
    std::optional<double> GetFrameRate() const override { return m_rate; }
    FrameRead ReadFrame(QImage& grey) override;

private:
    static std::unique_ptr<QImageReader> MakeReader(const std::filesystem::path& path);
    bool ReadPicture();

    std::vector<std::filesystem::path> m_paths;
    std::vector<int> m_frameCounts;  // frames in each picture
    std::uint64_t m_totalFrames = 0;
    QSize m_firstSize;
    std::optional<double> m_rate;

    std::size_t m_current = 0;  // the picture being read
    int m_framesRead = 0;       // of the current picture
    std::unique_ptr<QImageReader> m_reader;
    QImage m_picture;
    bool m_pictureWaiting = false;  // m_picture holds a frame not yet handed out
};
