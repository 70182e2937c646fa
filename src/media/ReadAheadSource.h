// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame source read on a thread of its own, a few frames ahead, so that decoding the next
// frames overlaps with whatever the caller does with this one (scaling, halftoning, writing).

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "media/FrameSource.h"

class CReadAheadSource : public CFrameSource {
public:
    explicit CReadAheadSource(std::unique_ptr<CFrameSource> source);
    ~CReadAheadSource() override;
    CReadAheadSource(const CReadAheadSource&) = delete;
    CReadAheadSource& operator=(const CReadAheadSource&) = delete;

    QSize GetFrameSize() const override { return m_size; }
    std::uint64_t GetExpectedFrameCount() const override { return m_expectedFrames; }
    FrameRead ReadFrame(QImage& grey) override;
    std::optional<double> GetFrameRate() const override { return m_rate; }

private:
    void ReadAll();

    static constexpr std::size_t kFramesAhead = 3;
    std::unique_ptr<CFrameSource> m_source;  // used by the reading thread only, once started
    QSize m_size;
    std::uint64_t m_expectedFrames = 0;
    std::optional<double> m_rate;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<QImage> m_ready;
    FrameRead m_last = FrameRead::frame;  // end or failed once the source has said so
    bool m_stopping = false;
    std::thread m_reader;
};
