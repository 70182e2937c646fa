// The drawing members of CImageStream: each frame is wrapped in a QImage without copying (its rows
// are already 4-byte aligned and top-down) and drawn one stream pixel to one pixel. The grey
// colour table of the bitmap description is the identity, so Format_Grayscale8 shows the same
// pixels as an indexed image would, at half the cost.

#include <QImage>
#include <QPainter>
#include <QRect>

#include "framework/Message.h"
#include "player/PlayerStrings.h"
#include "stream/ImageStream.h"

namespace {

QImage WrapFrame(const CImageStream& stream, POSITION pos)
{
    return QImage(stream.GetFrameAt(pos), stream.GetWidth(), stream.GetHeight(), stream.GetRowStride(),
                  QImage::Format_Grayscale8);
}

// Draws the source part of the frame at `target`, unscaled; the source is first cut to the frame,
// so no byte outside its buffer is read. Returns the rows drawn.
int DrawFramePart(QPainter& dc, const QImage& frame, QPoint target, QRect source, QPainter::CompositionMode mode)
{
    const QRect inside = source.intersected(frame.rect());
    if (inside.isEmpty())
        return 0;
    target += inside.topLeft() - source.topLeft();
    const QPainter::CompositionMode previous = dc.compositionMode();
    dc.setCompositionMode(mode);
    dc.drawImage(target, frame, inside);
    dc.setCompositionMode(previous);
    return inside.height();
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
        ShowMessage(player_strings::kShowImageError);
        return 0;
    }
    DrawImageFrame(dc, x, y);
    if (!pos)
        return 0;
    const QImage frame = WrapFrame(*this, pos);
    return DrawFramePart(dc, frame, {x, y}, frame.rect(), QPainter::CompositionMode_SourceOver);
}

int CImageStream::ShowImageRop(QPainter& dc, int x, int y, POSITION pos, std::uint32_t dwRop) const
{
    DrawImageFrame(dc, x, y);
    if (!pos || (dwRop != SRCCOPY && dwRop != SRCAND))
        return 0;
    const QImage frame = WrapFrame(*this, pos);
    const auto mode = dwRop == SRCAND ? QPainter::RasterOp_SourceAndDestination : QPainter::CompositionMode_SourceOver;
    return DrawFramePart(dc, frame, {x, y}, frame.rect(), mode);
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
    const QImage frame = WrapFrame(*this, pos);
    return DrawFramePart(dc, frame, rcDest.topLeft(), QRect(xSrc, ySrc, nPartWidth, nPartHeight),
                         QPainter::RasterOp_SourceAndDestination);
}
