// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CaptionWidth.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

int CaptionWidth(const QWidget& window)
{
    QFont bold = window.font();
    bold.setBold(true);
    const int nTitle = QFontMetrics(bold).horizontalAdvance(window.windowTitle());
    const int nBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return 2 * nTitle + 4 * nBar;
}
