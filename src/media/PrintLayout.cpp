// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PrintLayout.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kAround = PrintGeometry::kMarkOffsetMm + PrintGeometry::kMarkArmMm;

// Room for the picture alone on a page of that size: the picture is centred, so the footer's
// height is kept free above it as well as below.
QSizeF RoomForPicture(QSizeF page)
{
    const double side = PrintGeometry::kPageMarginMm + kAround;
    return {page.width() - 2 * side, page.height() - 2 * (side + PrintGeometry::kFooterMm)};
}

std::array<QSizeF, 2> PortraitThenLandscape(QPageSize::PageSizeId id)
{
    const QSizeF portrait = QPageSize(id).size(QPageSize::Millimeter);
    return {portrait, portrait.transposed()};
}
}  // namespace

std::optional<CPrintLayout> CPrintLayout::Fit(int widthPx, int heightPx, double pixelMm,
                                             QPageSize::PageSizeId id)
{
    const QSizeF picture(widthPx * pixelMm, heightPx * pixelMm);
    bool landscape = false;
    for (const QSizeF& page : PortraitThenLandscape(id)) {
        const QSizeF room = RoomForPicture(page);
        if (picture.width() <= room.width() && picture.height() <= room.height()) {
            const QPointF topLeft((page.width() - picture.width()) / 2, (page.height() - picture.height()) / 2);
            return CPrintLayout(id, landscape, page, QRectF(topLeft, picture));
        }
        landscape = true;
    }
    return std::nullopt;
}

double CPrintLayout::LargestPixelMm(int widthPx, int heightPx, QPageSize::PageSizeId id)
{
    double largest = 0;
    for (const QSizeF& page : PortraitThenLandscape(id)) {
        const QSizeF room = RoomForPicture(page);
        largest = std::max(largest, std::min(room.width() / widthPx, room.height() / heightPx));
    }
    return largest;
}

std::array<QPointF, 4> CPrintLayout::GetMarkCentresMm() const
{
    constexpr double d = PrintGeometry::kMarkOffsetMm;
    const QRectF& p = m_picture;
    return {QPointF(p.left() - d, p.top() - d), QPointF(p.right() + d, p.top() - d),
            QPointF(p.right() + d, p.bottom() + d), QPointF(p.left() - d, p.bottom() + d)};
}

QRectF CPrintLayout::GetFooterMm() const
{
    constexpr double margin = PrintGeometry::kPageMarginMm;
    return {margin, m_picture.bottom() + kAround, m_page.width() - 2 * margin, PrintGeometry::kFooterMm};
}

QPageLayout CPrintLayout::GetPageLayout() const
{
    return QPageLayout(QPageSize(m_id), m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

double CPrintLayout::OfferedPixelMm(int widthPx, int heightPx, QPageSize::PageSizeId page)
{
    return std::floor(LargestPixelMm(widthPx, heightPx, page) * 1000) / 1000;
}

int CPrintLayout::OfferedDpi(int widthPx, int heightPx, QPageSize::PageSizeId page)
{
    constexpr double kMmPerInch = 25.4;
    return static_cast<int>(std::ceil(kMmPerInch / OfferedPixelMm(widthPx, heightPx, page)));
}
