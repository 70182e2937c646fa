// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/TemporalView.h"

#include <QPainter>
#include <algorithm>

CTemporalView::CTemporalView(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(64, 64);
    // Painted whole every frame: nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CTemporalView::SetFrames(std::vector<QImage> frames)
{
    m_frames = std::move(frames);
    m_drawn = 0;
    update();
}

QString CTemporalView::ViewerNote()
{
    return tr("Taking turns at the screen's rate, the shares blend in the eye: a viewer sees texture and "
              "flicker, not the darker picture that stacking gives.");
}

void CTemporalView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_frames.empty() || !isVisible())
        return;
    const QImage& frame = m_frames[m_drawn % m_frames.size()];
    const double scale = std::min(static_cast<double>(width()) / frame.width(), static_cast<double>(height()) / frame.height());
    const QSize size = (QSizeF(frame.size()) * scale).toSize();
    painter.drawImage(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size), frame);
    ++m_drawn;
    // The next share on the next frame the screen draws.
    update();
}
