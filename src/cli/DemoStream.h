// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in secret motion picture: black letters "KVT" swaying over a white field while a black
// ball rolls along the bottom. Easy to recognise once its shadows are stacked or interlaced.

#include <memory>

class CImageStream;

inline constexpr int kDemoWidth = 160;
inline constexpr int kDemoHeight = 120;
inline constexpr int kDemoFrames = 48;

std::unique_ptr<CImageStream> MakeDemoStream();
