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

// What goes on a page, painted on any device at `dotsPerMm`: the PDF's pages and their previews
// on screen are the same drawing.
class CPrintPage {
public:
    static constexpr int kSharpDpi = 300;

    CPrintPage(const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption);

    void Paint(QPainter& painter, double dotsPerMm, const QImage& grey, int frameIndex) const;
    // The page at `dotsPerMm`, white paper, for a preview.
    QImage Render(double dotsPerMm, const QImage& grey, int frameIndex) const;
    const CPrintLayout& GetLayout() const { return m_layout; }

private:
    void DrawMark(QPainter& painter, double dotsPerMm, QPointF centreMm) const;
    void DrawFooter(QPainter& painter, double dotsPerMm, const QImage& grey, int frameIndex) const;

    CPrintLayout m_layout;
    int m_blockSide;
    bool m_marks;
    PrintCaption m_caption;
};

class CPdfPrinter {
public:
    CPdfPrinter(QIODevice& out, const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption);
    CPdfPrinter(const CPdfPrinter&) = delete;
    CPdfPrinter& operator=(const CPdfPrinter&) = delete;

    bool PrintFrame(const QImage& grey, int frameIndex);  // a new page with the frame
    bool Finish();                                        // ends the document

private:
    QPdfWriter m_writer;
    QPainter m_painter;
    CPrintPage m_page;
    int m_pages = 0;
};
