// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture shown cell for cell: at a whole zoom (1x to 8x, each cell a square of screen pixels,
// nearest neighbour, so no share's pattern is blurred) or fitted to the widget. Dragging it with
// the mouse, or the arrow keys, reports moves in cells, for sliding one share over the others.

#include <QImage>
#include <QWidget>
#include <functional>

class CImageView : public QWidget {
public:
    explicit CImageView(QWidget* parent = nullptr);

    void SetImage(const QImage& image);
    const QImage& GetImage() const { return m_image; }
    // 0 fits the picture to the widget; 1 to 8 shows each cell as zoom x zoom pixels.
    void SetZoom(int zoom);
    int GetZoom() const { return m_zoom; }
    // Called with a move in cells as the picture is dragged or moved by the arrow keys; without a
    // handler the picture can't be moved.
    void SetMoveHandler(std::function<void(QPoint cells)> handler) { m_onMove = std::move(handler); }

    // Where the picture is drawn in the widget.
    QRect ImageRect() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double Scale() const;

    QImage m_image;
    QImage m_fitted;  // m_image averaged down to the widget
    qint64 m_fittedFrom = 0;
    int m_zoom = 0;
    std::function<void(QPoint)> m_onMove;
    QPointF m_dragFrom;
};
