// SPDX-License-Identifier: GPL-3.0-or-later
// Kept apart: the X11 headers define names (KeyRelease, Success) that clash with Qt's.

#include <QGuiApplication>

#include "app/KeyIndicators.h"

#ifdef KVT_HAVE_X11
#include <X11/XKBlib.h>
#endif

unsigned QuerySystemKeyLocks()
{
#ifdef KVT_HAVE_X11
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    unsigned state = 0;
    if (!x11 || !x11->display() || XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != Success)
        return 0;
    // The core keyboard's indicators: bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock.
    return state & 7u;
#else
    return 0;
#endif
}
