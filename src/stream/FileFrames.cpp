// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/FileFrames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "io/LaterMessage.h"
#include "io/SharedFile.h"
#include "stream/StreamMessages.h"

namespace {
// How far ahead the kernel is asked to read: enough to play on while the disk catches up, asked
// for again once half of it has been played.
constexpr std::uint64_t kAheadBytes = std::uint64_t{128} << 20;
constexpr std::size_t kLeastAheadFrames = 4;

std::shared_ptr<BYTE> NewFrame(std::size_t bytes)
{
    FrameBuffer frame = AllocateFrameBuffer(bytes);
    return frame ? std::shared_ptr<BYTE>(frame.release(), FrameDeleter()) : nullptr;
}

// Rows read back to back (width bytes each) moved to their places at the row stride, the
// alignment bytes after each set to 0. The last row moves first, so no row is overwritten before
// it has moved.
void SpreadRows(BYTE* frame, std::size_t width, std::size_t stride, std::size_t height)
{
    for (std::size_t r = height; r-- > 0;) {
        std::memmove(frame + r * stride, frame + r * width, width);
        std::memset(frame + r * stride + width, 0, stride - width);
    }
}
}  // namespace

std::shared_ptr<CFileFrames> CFileFrames::Create(std::shared_ptr<CSharedFile> file, const KvtHeader& header,
                                                 std::uint64_t firstFrame, std::size_t count)
{
    auto frames = std::make_shared<CFileFrames>(std::move(file), header, firstFrame, count);
    return frames->AllocateSlots() ? frames : nullptr;
}

CFileFrames::CFileFrames(std::shared_ptr<CSharedFile> file, const KvtHeader& header, std::uint64_t firstFrame,
                         std::size_t count)
    : m_pFile(std::move(file)),
      m_header(header),
      m_nFirstFrame(firstFrame),
      m_nFileFrameBytes(static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height)),
      m_nCount(count),
      m_nAheadFrames(static_cast<std::size_t>(
          std::max<std::uint64_t>(kLeastAheadFrames, kAheadBytes / std::max<std::uint64_t>(m_nFileFrameBytes, 1))))
{
}

bool CFileFrames::AllocateSlots()
{
    m_slots.resize(std::min(kCachedFrames, m_nCount));
    for (Slot& slot : m_slots) {
        slot.frame = NewFrame(m_header.FrameBytes());
        if (!slot.frame)
            return false;
    }
    return true;
}

CFrameRef CFileFrames::Frame(std::size_t index) const
{
    std::string failure;
    std::shared_ptr<BYTE> frame;
    Ahead ahead;
    {
        const std::lock_guard lock(m_mutex);
        Slot* const cached = CachedSlot(index);
        Slot& slot = cached ? *cached : FreeSlot();
        if (!cached) {
            const bool failedBefore = !m_strFailure.empty();
            if (!ReadInto(index, slot.frame.get()) && !failedBefore)
                failure = m_strFailure;
            slot.index = index;
        }
        slot.lastUse = ++m_nUses;
        frame = slot.frame;
        ahead = PlanAhead(index);
    }
    // Posted outside the lock, which the read before may still be waiting for.
    if (!ahead.ranges.empty() || ahead.next)
        m_nextRead.Post([this, ahead = std::move(ahead)] {
            for (const auto& [offset, bytes] : ahead.ranges)
                m_pFile->Prefetch(offset, bytes);
            if (ahead.next)
                ReadNext(*ahead.next);
            return true;
        });
    // Shown outside the lock: the message may be shown at once, and a paint under it asks again.
    if (!failure.empty())
        ShowMessageLater("File read error: " + m_pFile->GetName() + ": " + failure +
                         "; the images that can't be read are shown black");
    return CFrameRef(std::move(frame));
}

bool CFileFrames::HasFailedRead() const
{
    const std::lock_guard lock(m_mutex);
    return !m_strFailure.empty();
}

// The least recently used slot, with a buffer of its own: a frame still held by a caller is left
// to it and the slot takes a new buffer.
CFileFrames::Slot& CFileFrames::FreeSlot() const
{
    Slot& slot = LeastRecentSlot();
    slot.lastUse = 0;
    if (slot.frame.use_count() > 1) {
        slot.frame = NewFrame(m_header.FrameBytes());
        if (!slot.frame)
            throw std::bad_alloc();
    }
    return slot;
}

CFileFrames::Slot* CFileFrames::CachedSlot(std::size_t index) const
{
    const auto cached =
        std::find_if(m_slots.begin(), m_slots.end(), [&](const Slot& s) { return s.lastUse != 0 && s.index == index; });
    return cached != m_slots.end() ? &*cached : nullptr;
}

CFileFrames::Slot& CFileFrames::LeastRecentSlot() const
{
    return *std::min_element(m_slots.begin(), m_slots.end(),
                             [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; });
}

bool CFileFrames::ReadInto(std::size_t index, BYTE* frame) const
{
    const std::uint64_t offset = OffsetOf(index);
    const std::uint64_t length = m_pFile->GetLength();
    const std::size_t expected =
        offset < length ? static_cast<std::size_t>(std::min(m_nFileFrameBytes, length - offset)) : 0;
    const std::ptrdiff_t got = expected == 0 ? 0 : m_pFile->ReadAt(frame, expected, offset);
    const std::size_t filled = got > 0 ? static_cast<std::size_t>(got) : 0;
    std::memset(frame + filled, 0, static_cast<std::size_t>(m_nFileFrameBytes) - filled);
    const auto width = static_cast<std::size_t>(m_header.width);
    const auto stride = static_cast<std::size_t>(m_header.RowStride());
    if (stride != width)
        SpreadRows(frame, width, stride, static_cast<std::size_t>(m_header.height));
    if (filled == expected)
        return true;
    if (m_strFailure.empty())
        m_strFailure = got < 0 ? std::strerror(errno) : kFileShrank;
    return false;
}

void CFileFrames::ReadNext(std::size_t index) const
{
    const std::lock_guard lock(m_mutex);
    if (CachedSlot(index))
        return;
    Slot& slot = LeastRecentSlot();
    if (slot.frame.use_count() > 1)
        return;
    // A frame that can't be read is left to be asked for, which says so.
    const std::string failure = m_strFailure;
    slot.index = index;
    slot.lastUse = ReadInto(index, slot.frame.get()) ? ++m_nUses : 0;
    m_strFailure = failure;
}

CFileFrames::Ahead CFileFrames::PlanAhead(std::size_t index) const
{
    Ahead plan;
    if (m_nCount < 2)
        return plan;
    const std::size_t ahead = std::min(m_nAheadFrames, m_nCount - 1);
    if (m_bAnyAsked && index == m_nLast)
        return plan;
    const bool forward = m_bAnyAsked && index == (m_nLast + 1) % m_nCount;
    const bool backward = m_bAnyAsked && index == (m_nLast + m_nCount - 1) % m_nCount;
    const int direction = backward && !forward ? -1 : 1;
    // A step on in the same direction uses up one of the frames asked for; a jump or a turn starts
    // again from here.
    const bool stepOn = (forward || backward) && direction == m_nDirection;
    m_nAskedAhead = stepOn && m_nAskedAhead > 0 ? m_nAskedAhead - 1 : 0;
    m_nDirection = direction;
    m_nLast = index;
    m_bAnyAsked = true;
    if (forward || backward)
        plan.next = m_nDirection > 0 ? (index + 1) % m_nCount : (index + m_nCount - 1) % m_nCount;
    if (m_nAskedAhead > ahead / 2)
        return plan;

    // Frames k steps ahead, for k from the first not yet asked for, in runs up to an end of the file.
    for (std::size_t k = m_nAskedAhead + 1; k <= ahead;) {
        const std::size_t first = m_nDirection > 0 ? (index + k) % m_nCount : (index + m_nCount - k) % m_nCount;
        const std::size_t room = m_nDirection > 0 ? m_nCount - first : first + 1;
        const std::size_t run = std::min(ahead - k + 1, room);
        const std::size_t low = m_nDirection > 0 ? first : first + 1 - run;
        plan.ranges.emplace_back(OffsetOf(low), run * m_nFileFrameBytes);
        k += run;
    }
    m_nAskedAhead = ahead;
    return plan;
}
