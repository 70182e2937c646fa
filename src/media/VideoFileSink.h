// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A GIF, Matroska or MP4 file of the frames, written beside its name and put in place at Finish.

#include <filesystem>

#include "io/AtomicFile.h"
#include "media/FrameSink.h"
#include "media/VideoEncoder.h"

class CVideoFileSink : public CFrameSink {
public:
    // Written at `target`; messages name `shownAs` (the file the user asked for, when `target` is
    // a staged copy of it), by default `target`.
    explicit CVideoFileSink(std::filesystem::path target, std::filesystem::path shownAs = {});

    bool Open(VideoKind kind, int width, int height, int delayMs);
    bool Write(const QImage& grey, int index) override;
    bool Finish() override;
    std::uint64_t GetBytesWritten() const override { return m_encoder.GetBytesWritten(); }
    const CVideoEncoder& GetEncoder() const { return m_encoder; }

private:
    std::filesystem::path m_target;
    CAtomicFile m_file;
    CVideoEncoder m_encoder;
};
