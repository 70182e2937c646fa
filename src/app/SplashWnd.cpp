// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SplashWnd.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

void CSplashWnd::EnableSplash(bool bEnable)
{
    c_bShowSplashWnd = bEnable;
}

void CSplashWnd::ShowSplash(QWidget* owner, const QString& picture)
{
    if (!c_bShowSplashWnd || c_pSplashWnd)
        return;
    QPixmap bitmap(picture);
    if (bitmap.isNull())
        return;  // no splash and no message: start-up goes on
    // The window owns itself: HideSplash schedules its deletion (and the owner's deletes it with
    // the owner).
    c_pSplashWnd = new CSplashWnd(owner, std::move(bitmap));
}

CSplashWnd::CSplashWnd(QWidget* owner, QPixmap bitmap)
    // Above the other windows: a window manager knows no owner for a window mapped before its owner,
    // which the main window is at start-up, and would stack the owner over it.
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_bitmap(std::move(bitmap)),
      m_pOwner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the picture covers every pixel
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_bitmap.deviceIndependentSize().toSize());

    // Centred on the owner when it is up; the main window is still hidden at start-up, so the
    // splash comes out centred on the screen.
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());

    m_timer.start(kTimerPeriod, Qt::PreciseTimer, this);  // a coarse timer may end it up to 5% early
    show();
    repaint();
}

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        c_pSplashWnd = nullptr;
}

void CSplashWnd::HideSplash()
{
    // Gone at once as far as the filter is concerned; the object itself goes at the next turn of
    // the event loop, since this may be running inside its own timer event.
    if (c_pSplashWnd == this)
        c_pSplashWnd = nullptr;
    m_timer.stop();
    hide();
    deleteLater();
    if (m_pOwner)
        m_pOwner->repaint();
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, m_bitmap);
}

void CSplashWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        HideSplash();
    else
        QWidget::timerEvent(event);
}

bool CSplashWnd::FilterAppMessage(QEvent* event)
{
    if (!c_pSplashWnd)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // A key bound to a command reaches the application as a shortcut, never as a key press.
        // Claiming it here turns it into a plain key press, which then closes the splash below.
        event->accept();
        return true;
    }
    if (!IsClosingPress(event))
        return false;
    c_pSplashWnd->HideSplash();
    return true;
}

bool CSplashWnd::IsClosingPress(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
        const auto button = static_cast<const QMouseEvent*>(event)->button();
        return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default:
        return false;
    }
}
