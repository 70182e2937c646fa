// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/FrameSupply.h"

#include <algorithm>
#include <cstring>

FrameBuffer AllocateFrameBuffer(std::size_t bytes)
{
    // calloc hands out fresh pages already zeroed, which makes big frames nearly free to clear.
    return FrameBuffer(static_cast<BYTE*>(std::calloc(bytes == 0 ? 1 : bytes, 1)));
}

FrameBuffer CopyFrameBuffer(const BYTE* frame, std::size_t bytes)
{
    FrameBuffer copy(static_cast<BYTE*>(std::malloc(bytes == 0 ? 1 : bytes)));
    if (copy)
        std::memcpy(copy.get(), frame, bytes);
    return copy;
}

bool CFrameSupply::Append(FrameBuffer)
{
    return false;
}

bool CHeldFrames::Append(FrameBuffer frame)
{
    m_frames.push_back(std::move(frame));
    return true;
}

CInterlacedFrames::CInterlacedFrames(std::vector<std::shared_ptr<const CFrameSupply>> order, std::size_t framesEach)
    : m_order(std::move(order)), m_nFramesEach(framesEach)
{
}

CFrameRef CInterlacedFrames::Frame(std::size_t index) const
{
    return m_order[index % m_order.size()]->Frame(index / m_order.size());
}

bool CInterlacedFrames::HasFailedRead() const
{
    return std::any_of(m_order.begin(), m_order.end(), [](const auto& source) { return source->HasFailedRead(); });
}
