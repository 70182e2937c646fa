// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CaptionWidth.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

int CaptionWidth(const QWidget& window, int nButtons)
{
    QFont bold = window.font();
    bold.setBold(true);
    const int nTitle = QFontMetrics(bold).horizontalAdvance(window.windowTitle());
    const int nBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return nTitle + (nButtons + 2) * nBar;
}
