#pragma once
// Direct stacking keeps two shadows as separate streams, shown side by side and combined where the
// user lays one over the other; only their frame sizes must agree.

class CImageStream;

// True when the two streams' frame sizes (width x height) are equal; otherwise shows
// "Two image size must be the same".
bool CheckStackingFrameSizes(const CImageStream& shadow1, const CImageStream& shadow2);

// What a viewer sees with the two pictures exactly on top of each other: frame k of `result` is the
// bytewise AND of frame k of each, for as many frames as the shorter holds. The two must have the
// same width and height; otherwise a message says so and `result` is left alone.
bool RevealByStacking(const CImageStream& shadow1, const CImageStream& shadow2, CImageStream& result);
