// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paths of the program's compiled-in pictures and the cursor made from the hand picture.

#include <QCursor>
#include <QPoint>

namespace pictures {
inline constexpr const char* kAppIcon = ":/pictures/app.png";        // 256 x 256
inline constexpr const char* kDocumentIcon = ":/pictures/document.png";
inline constexpr const char* kHand = ":/pictures/hand.png";          // 32 x 32, transparent
inline constexpr const char* kSplash = ":/pictures/splash.png";      // 474 x 313
// The pointing hand's hotspot: the top-left corner, where the fingertip is.
inline constexpr QPoint kHandHotSpot{0, 0};

// Toolbar buttons: ":/pictures/toolbar/<name>.png", 16 x 16, for new, open, save, play, pause,
// stop, previous, next, delay, about and leave-full-screen.

// The pointing-hand cursor shown over links and over a picture that can be dragged.
QCursor HandCursor();
}  // namespace pictures
