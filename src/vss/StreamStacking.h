#pragma once
// Direct stacking keeps two shadows as separate streams, shown side by side and combined where the
// user lays one over the other; only their frame sizes must agree.

class CImageStream;

// True when the two streams' frame sizes (width x height) are equal; otherwise shows
// "Two image size must be the same".
bool CheckStackingFrameSizes(const CImageStream& shadow1, const CImageStream& shadow2);
