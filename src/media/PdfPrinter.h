// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Frames printed at physical scale into a PDF, one a page: the picture, registration marks at fixed
// offsets around it, a caption and a 10 mm scale bar (CPrintLayout says where).
//
// Sharpness: viewers smooth a picture they have to enlarge much. So each pixel is first enlarged
// here, nearest neighbour, to a whole block of about kSharpDpi, and the block picture is drawn into
// the exact physical rectangle: a screen at 100% only reduces it, a printer enlarges it by little
// with the block edges where the pixel edges are. Qt embeds it losslessly (Flate, not JPEG, thanks
// to the lossless rendering hint) and without /Interpolate.

#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "media/PrintLayout.h"

class QIODevice;

struct PrintCaption {
    QString fileName;
    QString pixelSize;  // as the user asked for it: "0.4 mm", "1/150 inch"
};

class CPdfPrinter {
public:
    static constexpr int kSharpDpi = 300;

    CPdfPrinter(QIODevice& out, const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption);
    CPdfPrinter(const CPdfPrinter&) = delete;
    CPdfPrinter& operator=(const CPdfPrinter&) = delete;

    bool PrintFrame(const QImage& grey, int frameIndex);  // a new page with the frame
    bool Finish();                                        // ends the document

private:
    QRectF ToDevice(const QRectF& mm) const;
    QPointF ToDevice(QPointF mm) const;
    void DrawMark(QPointF centreMm);
    void DrawFooter(const QImage& grey, int frameIndex);

    QPdfWriter m_writer;
    QPainter m_painter;
    CPrintLayout m_layout;
    int m_blockSide;
    bool m_marks;
    PrintCaption m_caption;
    int m_pages = 0;
};
