// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfPrinter.h"

#include <cmath>

#include "media/FramePicture.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kLineMm = 0.15;
constexpr double kTextLineMm = 4;

QRectF ToDevice(const QRectF& mm, double dotsPerMm)
{
    return {mm.topLeft() * dotsPerMm, mm.bottomRight() * dotsPerMm};
}
}  // namespace

CPrintPage::CPrintPage(const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption)
    : m_layout(layout),
      m_blockSide(std::max(1, static_cast<int>(std::lround(kSharpDpi * pixelMm / kMmPerInch)))),
      m_marks(marks),
      m_caption(std::move(caption))
{
}

void CPrintPage::Paint(QPainter& painter, double dotsPerMm, const QImage& grey, int frameIndex) const
{
    painter.drawImage(ToDevice(m_layout.GetPictureMm(), dotsPerMm), ScaleUpNearest(grey, m_blockSide));
    if (m_marks)
        for (const QPointF& centre : m_layout.GetMarkCentresMm())
            DrawMark(painter, dotsPerMm, centre);
    DrawFooter(painter, dotsPerMm, grey, frameIndex);
}

QImage CPrintPage::Render(double dotsPerMm, const QImage& grey, int frameIndex) const
{
    const QSizeF page = m_layout.GetPageMm() * dotsPerMm;
    QImage image(static_cast<int>(std::ceil(page.width())), static_cast<int>(std::ceil(page.height())),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    // The caption's points are the page's: the picture says its density.
    image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
    QPainter painter(&image);
    // Subpixels smaller than a dot of the preview are shown as the grey they make.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Paint(painter, dotsPerMm, grey, frameIndex);
    return image;
}

void CPrintPage::DrawMark(QPainter& painter, double dotsPerMm, QPointF centreMm) const
{
    const double arm = PrintGeometry::kMarkArmMm * dotsPerMm;
    painter.setPen(QPen(Qt::black, kLineMm * dotsPerMm));
    painter.setBrush(Qt::NoBrush);
    const QPointF c = centreMm * dotsPerMm;
    painter.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    painter.drawLine(c - QPointF(0, arm), c + QPointF(0, arm));
    painter.drawEllipse(c, arm * 0.6, arm * 0.6);
}

void CPrintPage::DrawFooter(QPainter& painter, double dotsPerMm, const QImage& grey, int frameIndex) const
{
    const QRectF footer = m_layout.GetFooterMm();
    QFont font(QStringLiteral("Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString caption = QStringLiteral("%1 \u2014 frame %2 \u2014 %3 x %4 pixels of %5")
                                .arg(m_caption.fileName)
                                .arg(frameIndex)
                                .arg(grey.width())
                                .arg(grey.height())
                                .arg(m_caption.pixelSize);
    const QRectF line(footer.left(), footer.top(), footer.width(), kTextLineMm);
    painter.drawText(ToDevice(line, dotsPerMm), Qt::AlignCenter, caption);
    painter.drawText(ToDevice(line.translated(0, kTextLineMm), dotsPerMm), Qt::AlignCenter,
                     QStringLiteral("print at 100% (no scaling)"));

    // The bar is filled black, 10 mm from edge to edge, centred; its label to its right.
    constexpr double bar = PrintGeometry::kScaleBarMm;
    const QRectF barMm(footer.center().x() - bar / 2, footer.top() + 2 * kTextLineMm + 1, bar, 1.5);
    painter.fillRect(ToDevice(barMm, dotsPerMm), Qt::black);
    const QRectF label(barMm.right() + 1.5, barMm.top() - 1, 20, 3.5);
    painter.drawText(ToDevice(label, dotsPerMm), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("10 mm"));
}

CPdfPrinter::CPdfPrinter(QIODevice& out, const CPrintLayout& layout, double pixelMm, bool marks,
                         PrintCaption caption)
    : m_writer(&out), m_page(layout, pixelMm, marks, caption)
{
    m_writer.setCreator(QStringLiteral("kvt print"));
    m_writer.setTitle(caption.fileName);
    m_writer.setPageLayout(layout.GetPageLayout());
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
    m_page.Paint(m_painter, m_writer.resolution() / kMmPerInch, grey, frameIndex);
    return true;
}

bool CPdfPrinter::Finish()
{
    return m_pages > 0 && m_painter.end();
}
