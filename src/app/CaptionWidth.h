// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How wide a small window must be for a window manager's title bar to show its title whole.

class QWidget;

// The title in bold, as title bars draw it, plus room for an icon and `nButtons` buttons each about
// as wide as the bar is high, and for the space title bars leave around a title.
int CaptionWidth(const QWidget& window, int nButtons);
