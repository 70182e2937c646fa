// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing members of CImageStream: each frame is wrapped in a QImage without copying (its rows
// are already 4-byte aligned and top-down) and drawn one stream pixel to one pixel. The grey
// colour table of the bitmap description is the identity, so Format_Grayscale8 shows the same
// pixels as an indexed image would, at half the cost.

#include <QImage>
#include <QPainter>
#include <QRect>

#include "io/Message.h"
#include "stream/ImageStream.h"
#include "stream/StreamMessages.h"

namespace {

// Draws the `source` part of the frame at `pos` with its top-left corner at `target`, unscaled.
// The part is first cut to the frame, so no byte outside its buffer is read, and then wrapped on
// its own: a sub-rectangle of a wrapped image would take a slower path through the paint engine.
// Returns the rows drawn.
int DrawFramePart(QPainter& dc, const CImageStream& stream, POSITION pos, QPoint target, QRect source,
                  QPainter::CompositionMode mode)
{
    const QRect inside = source.intersected(QRect(0, 0, stream.GetWidth(), stream.GetHeight()));
    if (inside.isEmpty())
        return 0;
    const int nStride = stream.GetRowStride();
    const CFrameRef frame = stream.GetFrameAt(pos);  // held until drawn: it may come from a file's cache
    const BYTE* pFirst = frame.get() + static_cast<std::size_t>(inside.top()) * nStride + inside.left();
    const QImage part(pFirst, inside.width(), inside.height(), nStride, QImage::Format_Grayscale8);
    const QPainter::CompositionMode previous = dc.compositionMode();
    dc.setCompositionMode(mode);
    dc.drawImage(target + inside.topLeft() - source.topLeft(), part);
    dc.setCompositionMode(previous);
    return inside.height();
}

QRect WholeFrame(const CImageStream& stream)
{
    return {0, 0, stream.GetWidth(), stream.GetHeight()};
}

}  // namespace

void CImageStream::DrawImageFrame(QPainter& dc, int x, int y) const
{
    const int w = GetWidth();
    const int h = GetHeight();
    const QPoint corners[] = {{x - 1, y - 1}, {x + w + 1, y - 1}, {x + w + 1, y + h + 1}, {x - 1, y + h + 1}, {x - 1, y - 1}};
    dc.drawPolyline(corners, 5);
}

int CImageStream::ShowImage(QPainter& dc, int x, int y, POSITION pos) const
{
    if (!GetBitmapInfo()) {
        ShowMessage(kShowImageError);
        return 0;
    }
    DrawImageFrame(dc, x, y);
    if (!pos)
        return 0;
    return DrawFramePart(dc, *this, pos, {x, y}, WholeFrame(*this), QPainter::CompositionMode_SourceOver);
}

int CImageStream::ShowImageRop(QPainter& dc, int x, int y, POSITION pos, std::uint32_t dwRop) const
{
    DrawImageFrame(dc, x, y);
    if (!pos || (dwRop != SRCCOPY && dwRop != SRCAND))
        return 0;
    const auto mode = dwRop == SRCAND ? QPainter::RasterOp_SourceAndDestination : QPainter::CompositionMode_SourceOver;
    return DrawFramePart(dc, *this, pos, {x, y}, WholeFrame(*this), mode);
}

int CImageStream::ShowImagePart(QPainter& dc, int x, int y, POSITION pos, const QRect& rcDest, int nCorner) const
{
    const int nPartWidth = rcDest.width();
    const int nPartHeight = rcDest.height();
    const int xSrc = nCorner == 2 ? GetWidth() - nPartWidth : 0;
    const int ySrc = GetHeight() - nPartHeight;  // the bottom rows, for either corner
    DrawImageFrame(dc, x, y);
    if (!pos || rcDest.isEmpty())
        return 0;
    return DrawFramePart(dc, *this, pos, rcDest.topLeft(), QRect(xSrc, ySrc, nPartWidth, nPartHeight),
                         QPainter::RasterOp_SourceAndDestination);
}
