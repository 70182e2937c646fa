// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/ChildCascade.h"

QRect CChildCascade::Next(QSize area, QSize wanted, int nStep)
{
    QRect place(m_ptNext, wanted.boundedTo(area));
    if (place.right() >= area.width() || place.bottom() >= area.height())
        place.moveTopLeft({0, 0});
    m_ptNext = place.topLeft() + QPoint(nStep, nStep);
    return place;
}
