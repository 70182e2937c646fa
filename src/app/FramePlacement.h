// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Puts a top-level window's outer corner, caption and all, at a point of the screen. A window
// manager frames a window a moment after it shows and may first place it by its own rules, so the
// frame is moved to the point again once the frame is known, until it is there; after that the
// window is the user's to move.

class QPoint;
class QWidget;

// Shows `window` with its frame's corner at `point`.
void ShowWithFrameAt(QWidget& window, const QPoint& point);
