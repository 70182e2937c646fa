// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FramePlacement.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int kCheckMs = 20;
constexpr int kChecks = 250;  // 5 s: the longest a loaded window manager was seen to take
}  // namespace

void ShowWithFrameAt(QWidget& window, const QPoint& point)
{
    // Qt takes a position given before the window shows as the inside's.
    window.move(point);
    window.show();
    window.windowHandle()->setFramePosition(point);

    auto* timer = new QTimer(&window);
    timer->setInterval(kCheckMs);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, timer, point, checks = 0]() mutable {
        const bool framed = window.frameGeometry() != window.geometry();
        if (framed && window.frameGeometry().topLeft() == point) {
            timer->deleteLater();
            return;
        }
        // The inside's position, from the frame's margins: a frame position asked for again would
        // be taken as the one already requested and not be sent.
        if (framed)
            window.windowHandle()->setPosition(point + window.geometry().topLeft() - window.frameGeometry().topLeft());
        if (++checks == kChecks)
            timer->deleteLater();
    });
    timer->start();
}
