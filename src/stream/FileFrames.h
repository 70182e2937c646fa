// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Frames read from their file when they are asked for, into a cache of a few frames, with the
// kernel asked to read ahead in the direction they are being asked for (wrapping round the ends,
// as playback does), so that a stream of any length takes the memory of a few frames. While frames
// are asked for one after another, the next is read on a thread of its own as the one given is
// drawn.
//
// The file holds frame k at firstFrame + k * width * height, as height rows of width bytes; each
// comes as the whole read would have held it: rows at the row stride, alignment bytes 0, black
// where the file holds no more bytes. A read that fails, or a file that has become shorter than it
// was when opened, gives black too, and one message says so.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/WorkBehind.h"
#include "stream/FrameSupply.h"
#include "stream/KvtFormat.h"

class CSharedFile;

class CFileFrames : public CFrameSupply {
public:
    // Frames held at once in the cache at most.
    static constexpr std::size_t kCachedFrames = 4;

    // Null when the cache's frames can't be allocated.
    static std::shared_ptr<CFileFrames> Create(std::shared_ptr<CSharedFile> file, const KvtHeader& header,
                                               std::uint64_t firstFrame, std::size_t count);
    CFileFrames(std::shared_ptr<CSharedFile> file, const KvtHeader& header, std::uint64_t firstFrame,
                std::size_t count);

    std::size_t Count() const override { return m_nCount; }
    CFrameRef Frame(std::size_t index) const override;
    bool HasFailedRead() const override;

private:
    struct Slot {
        std::size_t index = 0;
        std::shared_ptr<BYTE> frame;
        std::uint64_t lastUse = 0;  // 0: empty
    };

    bool AllocateSlots();
    // The slot holding frame `index`, or null.
    Slot* CachedSlot(std::size_t index) const;
    // The slot used longest ago (an empty one first).
    Slot& LeastRecentSlot() const;
    Slot& FreeSlot() const;
    // Reads frame `index` into `frame`; false when the file gave less than it should have.
    bool ReadInto(std::size_t index, BYTE* frame) const;
    // What to read ahead of a frame asked for, on the reading thread: the file's byte ranges the
    // kernel is to read (asking can wait for the disk), and the next frame.
    struct Ahead {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;  // offset, bytes
        std::optional<std::size_t> next;
    };
    Ahead PlanAhead(std::size_t index) const;
    // Reads frame `index` into the least recently used slot, unless it is cached or that slot's
    // frame is still held.
    void ReadNext(std::size_t index) const;
    std::uint64_t OffsetOf(std::size_t index) const { return m_nFirstFrame + index * m_nFileFrameBytes; }

    std::shared_ptr<CSharedFile> m_pFile;
    KvtHeader m_header;
    std::uint64_t m_nFirstFrame;
    std::uint64_t m_nFileFrameBytes;  // width * height: a frame's bytes in the file
    std::size_t m_nCount;
    std::size_t m_nAheadFrames;

    mutable std::mutex m_mutex;
    mutable std::vector<Slot> m_slots;
    mutable std::uint64_t m_nUses = 0;
    mutable std::size_t m_nLast = 0;        // the frame asked for last
    mutable bool m_bAnyAsked = false;
    mutable int m_nDirection = 1;           // +1 forward, -1 backward
    mutable std::size_t m_nAskedAhead = 0;  // frames past m_nLast the kernel was asked for
    mutable std::string m_strFailure;       // why a read failed first; empty while none has
    mutable CWorkBehind m_nextRead;         // last, so that it is done before the rest goes
};
