// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the two kinds of maker page share in their look.

#include <QLabel>

#include "framework/DialogUnits.h"

// Gives the page the dialog font and the pages' common size; returns the units to place controls.
inline CDialogUnits SetUpMakerPage(QWidget* page)
{
    QFont font = page->font();
    font.setPointSize(10);
    page->setFont(font);
    const CDialogUnits du(font);
    page->setFixedSize(du.Size(256, 74));
    return du;
}

// A static text area for a path, shown as plain text (a name may hold '<' or '&').
inline QLabel* MakeNameArea(QWidget* page)
{
    auto* area = new QLabel(page);
    area->setWordWrap(true);
    area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    area->setTextFormat(Qt::PlainText);
    return area;
}
