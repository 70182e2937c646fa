// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where new child windows go in the main window's area: each one a caption's height lower and to
// the right of the previous new one, from the top left, and back at the top left when the next
// would not fit the area. A window is never larger than the area.

#include <QPoint>
#include <QRect>
#include <QSize>

class CChildCascade {
public:
    // The place of the next new window, of the `wanted` size cut to the `area`, in area coordinates;
    // `nStep` is the height of a child window's caption.
    QRect Next(QSize area, QSize wanted, int nStep);

private:
    QPoint m_ptNext;  // the next place, if the window fits there
};
