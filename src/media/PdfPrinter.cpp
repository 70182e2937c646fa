// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfPrinter.h"

#include <cmath>

#include "media/FramePicture.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kLineMm = 0.15;
constexpr double kTextLineMm = 4;
}  // namespace

CPdfPrinter::CPdfPrinter(QIODevice& out, const CPrintLayout& layout, double pixelMm, bool marks,
                         PrintCaption caption)
    : m_writer(&out),
      m_layout(layout),
      m_blockSide(std::max(1, static_cast<int>(std::lround(kSharpDpi * pixelMm / kMmPerInch)))),
      m_marks(marks),
      m_caption(std::move(caption))
{
    m_writer.setCreator(QStringLiteral("kvt print"));
    m_writer.setTitle(m_caption.fileName);
    m_writer.setPageLayout(layout.GetPageLayout());
}

QPointF CPdfPrinter::ToDevice(QPointF mm) const
{
    return mm * (m_writer.resolution() / kMmPerInch);
}

QRectF CPdfPrinter::ToDevice(const QRectF& mm) const
{
    return {ToDevice(mm.topLeft()), ToDevice(mm.bottomRight())};
}

bool CPdfPrinter::PrintFrame(const QImage& grey, int frameIndex)
{
    if (m_pages == 0) {
        if (!m_painter.begin(&m_writer))
            return false;
        m_painter.setRenderHint(QPainter::LosslessImageRendering);
    } else if (!m_writer.newPage()) {
        return false;
    }
    ++m_pages;
    m_painter.drawImage(ToDevice(m_layout.GetPictureMm()), ScaleUpNearest(grey, m_blockSide));
    if (m_marks)
        for (const QPointF& centre : m_layout.GetMarkCentresMm())
            DrawMark(centre);
    DrawFooter(grey, frameIndex);
    return true;
}

void CPdfPrinter::DrawMark(QPointF centreMm)
{
    constexpr double arm = PrintGeometry::kMarkArmMm;
    const double unit = ToDevice(QPointF(1, 0)).x();
    m_painter.setPen(QPen(Qt::black, kLineMm * unit));
    m_painter.setBrush(Qt::NoBrush);
    const QPointF c = ToDevice(centreMm);
    m_painter.drawLine(c - QPointF(arm * unit, 0), c + QPointF(arm * unit, 0));
    m_painter.drawLine(c - QPointF(0, arm * unit), c + QPointF(0, arm * unit));
    m_painter.drawEllipse(c, arm * unit * 0.6, arm * unit * 0.6);
}

void CPdfPrinter::DrawFooter(const QImage& grey, int frameIndex)
{
    const QRectF footer = m_layout.GetFooterMm();
    QFont font(QStringLiteral("Sans"));
    font.setPointSizeF(8);
    m_painter.setFont(font);
    m_painter.setPen(Qt::black);
    const QString caption = QStringLiteral("%1 \u2014 frame %2 \u2014 %3 x %4 pixels of %5")
                                .arg(m_caption.fileName)
                                .arg(frameIndex)
                                .arg(grey.width())
                                .arg(grey.height())
                                .arg(m_caption.pixelSize);
    const QRectF line(footer.left(), footer.top(), footer.width(), kTextLineMm);
    m_painter.drawText(ToDevice(line), Qt::AlignCenter, caption);
    m_painter.drawText(ToDevice(line.translated(0, kTextLineMm)), Qt::AlignCenter,
                       QStringLiteral("print at 100% (no scaling)"));

    // The bar is filled black, 10 mm from edge to edge, centred; its label to its right.
    constexpr double bar = PrintGeometry::kScaleBarMm;
    const QRectF barMm(footer.center().x() - bar / 2, footer.top() + 2 * kTextLineMm + 1, bar, 1.5);
    m_painter.fillRect(ToDevice(barMm), Qt::black);
    const QRectF label(barMm.right() + 1.5, barMm.top() - 1, 20, 3.5);
    m_painter.drawText(ToDevice(label), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("10 mm"));
}

bool CPdfPrinter::Finish()
{
    return m_pages > 0 && m_painter.end();
}
