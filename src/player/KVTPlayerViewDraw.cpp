// SPDX-License-Identifier: GPL-3.0-or-later
// The paint of the view: the current frame of the first stream or, for a stacked pair, both
// frames side by side and their AND wherever the first picture lies over the second.

#include <QPainter>

#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"

QRect CKVTPlayerView::CalcLogicalRect(QPoint pt) const
{
    return {pt.x(), pt.y(), m_nImageWidth, m_nImageHeight};
}

QRect CKVTPlayerView::CalcClientRect(QPoint pt) const
{
    return CalcLogicalRect(pt).translated(-GetScrollPos());
}

// The second picture of a pair is laid out at its own size, so that its outline, the overlap and
// the stacked part match what is drawn even when the pair's widths differ.
QRect CKVTPlayerView::SecondRect(QPoint pt, bool bClient) const
{
    const CImageStream* pSecond = SecondStream();
    const QRect rc = pSecond ? QRect(pt.x(), pt.y(), pSecond->GetWidth(), pSecond->GetHeight()) : CalcLogicalRect(pt);
    return bClient ? rc.translated(-GetScrollPos()) : rc;
}

void CKVTPlayerView::RecalcRects()
{
    m_rcImage1 = CalcClientRect(m_ptImage1);
    m_rcImage2 = SecondRect(m_ptImage2, true);
}

void CKVTPlayerView::ResolvePosition(const CImageStream& stream, POSITION& pos) const
{
    if (!pos)
        pos = m_bForward ? stream.GetHeadPosition() : stream.GetTailPosition();
}

void CKVTPlayerView::OnDraw(QPainter& dc)
{
    const CImageStream* pFirst = FirstStream();
    if (!pFirst)
        return;
    if (IsTwoStream()) {
        DrawPair(dc);
    } else {
        ResolvePosition(*pFirst, m_posFrame1);
        pFirst->ShowImage(dc, m_ptImage1.x(), m_ptImage1.y(), m_posFrame1);
    }
    g_bFramePainted = 1;
}

void CKVTPlayerView::DrawPair(QPainter& dc)
{
    const CImageStream& first = *FirstStream();
    const CImageStream* pSecond = SecondStream();
    ResolvePosition(first, m_posFrame1);
    if (!pSecond) {
        first.ShowImage(dc, m_ptImage1.x(), m_ptImage1.y(), m_posFrame1);
        return;
    }
    ResolvePosition(*pSecond, m_posFrame2);
    RecalcRects();
    const QRect rcA = CalcLogicalRect(m_ptImage1);
    const QRect rcB = SecondRect(m_ptImage2, false);
    const int x1 = m_ptImage1.x(), y1 = m_ptImage1.y();
    const int x2 = m_ptImage2.x(), y2 = m_ptImage2.y();

    if (!rcA.intersects(rcB)) {
        first.ShowImage(dc, x1, y1, m_posFrame1);
        pSecond->ShowImage(dc, x2, y2, m_posFrame2);
    } else if (m_ptImage1 == m_ptImage2) {
        first.ShowImage(dc, x1, y1, m_posFrame1);
        pSecond->ShowImageRop(dc, x2, y2, m_posFrame2, SRCAND);
    } else {
        pSecond->ShowImage(dc, x2, y2, m_posFrame2);
        first.ShowImage(dc, x1, y1, m_posFrame1);
        // The first picture is never above the second, so the overlap is a bottom part of the
        // second: its right part when the first picture's corner lies inside it, else its left.
        // Below or beside the first picture the part covers only the second one, which ANDed
        // with itself stays as it is.
        QRect rcDest;
        int nCorner;
        if (rcB.contains(rcA.topLeft())) {
            rcDest = QRect(rcA.topLeft(), rcB.bottomRight());
            nCorner = 2;
        } else {
            rcDest = QRect(QPoint(rcB.left(), rcA.top()), QPoint(std::min(rcA.right(), rcB.right()), rcB.bottom()));
            nCorner = 1;
        }
        pSecond->ShowImagePart(dc, x2, y2, m_posFrame2, rcDest, nCorner);
    }
}
