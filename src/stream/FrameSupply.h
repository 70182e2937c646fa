// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a stream's frames come from: buffers held in memory, a file read on demand, or other
// streams' frames referred to in some order. A stream hands its frames out as CFrameRefs, which
// keep a frame's buffer alive while they are held, wherever it lives.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

using BYTE = std::uint8_t;

struct FrameDeleter {
    void operator()(BYTE* frame) const noexcept { std::free(frame); }
};
using FrameBuffer = std::unique_ptr<BYTE[], FrameDeleter>;

// A zero-filled buffer of the given size, or null when memory is short.
FrameBuffer AllocateFrameBuffer(std::size_t bytes);

// A buffer holding a copy of the first `bytes` bytes of `frame`, or null when memory is short.
// Nothing is zeroed first: every byte is written by the copy.
FrameBuffer CopyFrameBuffer(const BYTE* frame, std::size_t bytes);

// A frame handed out by a stream. It converts to the plain pointer that drawing and copying take;
// that pointer stays valid while the handle is held (a frame read from a file may meanwhile leave
// the file's cache) or, for frames held in memory, as long as their stream.
class CFrameRef {
public:
    CFrameRef() = default;
    explicit CFrameRef(std::shared_ptr<BYTE> frame) : m_frame(std::move(frame)) {}
    // A frame owned elsewhere, for as long as its owner keeps it.
    static CFrameRef Borrowed(BYTE* frame) { return CFrameRef(std::shared_ptr<BYTE>(std::shared_ptr<BYTE>(), frame)); }

    BYTE* get() const { return m_frame.get(); }
    operator BYTE*() const { return m_frame.get(); }

private:
    std::shared_ptr<BYTE> m_frame;
};

class CFrameSupply {
public:
    virtual ~CFrameSupply() = default;

    virtual std::size_t Count() const = 0;
    // Frame `index`, below Count(). A frame its file can't give comes black, after a message.
    virtual CFrameRef Frame(std::size_t index) const = 0;
    // Adds a frame at the end of a supply being built; false when it can't be kept (a supply
    // that only refers to frames takes none).
    virtual bool Append(FrameBuffer frame);
    // The frames are buffers in memory, so copying them is cheap and gives independent frames.
    virtual bool IsHeld() const { return false; }
    // Some frame handed out came black because its file could not be read.
    virtual bool HasFailedRead() const { return false; }
};

// Frames held in memory, in the order appended.
class CHeldFrames : public CFrameSupply {
public:
    std::size_t Count() const override { return m_frames.size(); }
    CFrameRef Frame(std::size_t index) const override { return CFrameRef::Borrowed(m_frames[index].get()); }
    bool Append(FrameBuffer frame) override;
    bool IsHeld() const override { return true; }
    void Reserve(std::size_t frames) { m_frames.reserve(frames); }

private:
    std::vector<FrameBuffer> m_frames;
};

// Frame k of each source in turn, for every k: A0 B0 A1 B1 ..., nothing copied. Each source holds
// at least `framesEach` frames and stays alive as long as this does.
class CInterlacedFrames : public CFrameSupply {
public:
    CInterlacedFrames(std::vector<std::shared_ptr<const CFrameSupply>> order, std::size_t framesEach);
    std::size_t Count() const override { return m_order.size() * m_nFramesEach; }
    CFrameRef Frame(std::size_t index) const override;
    bool HasFailedRead() const override;

private:
    std::vector<std::shared_ptr<const CFrameSupply>> m_order;
    std::size_t m_nFramesEach;
};
