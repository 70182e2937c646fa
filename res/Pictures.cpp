// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

#include <QPixmap>

namespace pictures {
QCursor HandCursor() {
    return QCursor(QPixmap(QString::fromLatin1(kHand)), kHandHotSpot.x(), kHandHotSpot.y());
}
}  // namespace pictures
