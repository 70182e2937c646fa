// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoFileSink.h"

CVideoFileSink::CVideoFileSink(std::filesystem::path target, std::filesystem::path shownAs)
    : m_target(shownAs.empty() ? target : std::move(shownAs)), m_file(std::move(target))
{
}

bool CVideoFileSink::Open(VideoKind kind, int width, int height, int delayMs)
{
    if (!m_file.Open())
        return Fail(m_target, m_file.GetError());
    if (!m_encoder.Open(m_file.GetDescriptor(), kind, width, height, delayMs))
        return Fail(m_target, m_encoder.GetError());
    return true;
}

bool CVideoFileSink::Write(const QImage& grey, int)
{
    return m_encoder.WriteFrame(grey) ? true : Fail(m_target, m_encoder.GetError());
}

bool CVideoFileSink::Finish()
{
    if (!m_encoder.Finish())
        return Fail(m_target, m_encoder.GetError());
    return m_file.Commit() ? true : Fail(m_target, m_file.GetError());
}
