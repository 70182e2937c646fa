// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ReadAheadSource.h"

CReadAheadSource::CReadAheadSource(std::unique_ptr<CFrameSource> source)
    : m_source(std::move(source)),
      m_size(m_source->GetFrameSize()),
      m_expectedFrames(m_source->GetExpectedFrameCount()),
      m_rate(m_source->GetFrameRate()),
      m_reader([this] { ReadAll(); })
{
}

CReadAheadSource::~CReadAheadSource()
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_reader.join();
}

void CReadAheadSource::ReadAll()
{
    for (;;) {
        QImage grey;
        const FrameRead read = m_source->ReadFrame(grey);
        std::unique_lock<std::mutex> hold(m_lock);
        if (read != FrameRead::frame) {
            m_last = read;
            if (read == FrameRead::failed)
                TakeErrorOf(*m_source);
            m_changed.notify_all();
            return;
        }
        m_changed.wait(hold, [this] { return m_stopping || m_ready.size() < kFramesAhead; });
        if (m_stopping)
            return;
        m_ready.push_back(std::move(grey));
        m_changed.notify_all();
    }
}

FrameRead CReadAheadSource::ReadFrame(QImage& grey)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return !m_ready.empty() || m_last != FrameRead::frame; });
    if (m_ready.empty())
        return m_last;
    grey = std::move(m_ready.front());
    m_ready.pop_front();
    m_changed.notify_all();
    return FrameRead::frame;
}
