// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ImageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

CImageView::CImageView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
}

void CImageView::SetImage(const QImage& image)
{
    const bool resized = image.size() != m_image.size();
    m_image = image;
    if (resized)
        updateGeometry();
    update();
}

void CImageView::SetZoom(int zoom)
{
    m_zoom = zoom;
    updateGeometry();
    update();
}

double CImageView::Scale() const
{
    if (m_image.isNull())
        return 1;
    if (m_zoom > 0)
        return m_zoom;
    return std::min(static_cast<double>(width()) / m_image.width(), static_cast<double>(height()) / m_image.height());
}

QRect CImageView::ImageRect() const
{
    const double scale = Scale();
    const QSize size(static_cast<int>(std::lround(m_image.width() * scale)),
                     static_cast<int>(std::lround(m_image.height() * scale)));
    return QRect(QPoint(std::max(0, (width() - size.width()) / 2), std::max(0, (height() - size.height()) / 2)), size);
}

QSize CImageView::sizeHint() const
{
    if (m_image.isNull() || m_zoom == 0)
        return QSize(320, 240);
    return m_image.size() * m_zoom;
}

void CImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_image.isNull())
        return;
    const QRect target = ImageRect();
    if (m_zoom > 0) {
        // Every cell a square of whole screen pixels: nothing smoothed.
        painter.drawImage(target, m_image);
        return;
    }
    // A fitted share is averaged over the area each screen pixel covers, so it shows its grey as
    // an eye at a distance would; sampling would show noise. Made once for each size.
    if (m_fitted.size() != target.size() || m_fittedFrom != m_image.cacheKey()) {
        m_fitted = m_image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_fittedFrom = m_image.cacheKey();
    }
    painter.drawImage(target.topLeft(), m_fitted);
}

void CImageView::mousePressEvent(QMouseEvent* event)
{
    m_dragFrom = event->position();
}

void CImageView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_onMove || !(event->buttons() & Qt::LeftButton))
        return;
    const double scale = Scale();
    const QPointF moved = (event->position() - m_dragFrom) / scale;
    const QPoint cells(static_cast<int>(std::trunc(moved.x())), static_cast<int>(std::trunc(moved.y())));
    if (cells.isNull())
        return;
    m_dragFrom += QPointF(cells) * scale;
    m_onMove(cells);
}

void CImageView::keyPressEvent(QKeyEvent* event)
{
    QPoint cells;
    switch (event->key()) {
    case Qt::Key_Left: cells = {-1, 0}; break;
    case Qt::Key_Right: cells = {1, 0}; break;
    case Qt::Key_Up: cells = {0, -1}; break;
    case Qt::Key_Down: cells = {0, 1}; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (m_onMove)
        m_onMove(cells);
}
