// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Putting two shadows together: interlaced in time, or stacked in space. Direct stacking keeps two
// shadows as separate streams, shown side by side and combined where the user lays one over the
// other; only their frame sizes must agree.
//
// The checks of each operation are made on headers before the first frame, so that kvt, which
// never holds a whole stream, refuses exactly what the operations on whole streams refuse.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "stream/ImageStream.h"

// A stream an operation takes frames from: its header, and how many frames it can hand out.
struct FrameSource {
    KvtHeader header;
    std::size_t frames;
};

// A stream in memory as a source: its header and the frames it holds.
FrameSource HeldFrames(const CImageStream& stream);

// The sources of a mode 1 (A, B, and for kvt any more shares) or mode 2 (A, B and the fresh pair
// C, D) interlacing match; the frame count of the result, or nothing after the message. The result
// takes A's shape and holds frame k of each source in turn: A B ..., or A C B D.
std::optional<std::uint16_t> CheckInterlaceMode1(const std::vector<FrameSource>& sources);
std::optional<std::uint16_t> CheckInterlaceMode2(FrameSource a, FrameSource b, FrameSource c, FrameSource d);

// True when the two streams' frame sizes (width x height) are equal; otherwise shows
// "Two image size must be the same".
bool CheckStackingFrameSizes(const CImageStream& shadow1, const CImageStream& shadow2);

// The frame count of RevealByStacking's result (as many as the shortest holds), or nothing after
// the message when the shares differ in width or height or one has no frames.
std::optional<std::uint16_t> CheckReveal(const std::vector<FrameSource>& shares);

// One revealed frame: the bytewise AND of two frame buffers of `bytes` bytes.
void StackFrames(const BYTE* shadow1, const BYTE* shadow2, BYTE* result, std::size_t bytes);
// Adds a share to an XOR of shares in `result`: black (0) where an odd number of them is black.
void XorFrames(const BYTE* share, BYTE* result, std::size_t bytes);

// What a viewer sees with the two pictures exactly on top of each other: frame k of `result` is the
// bytewise AND of frame k of each, for as many frames as the shorter holds. The two must have the
// same width and height; otherwise a message says so and `result` is left alone.
bool RevealByStacking(const CImageStream& shadow1, const CImageStream& shadow2, CImageStream& result);
