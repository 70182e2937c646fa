// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a frame, its registration marks, caption and scale bar go on a printed page, in millimetres
// from the page's top left corner. The picture is centred; everything else sits at fixed offsets
// from it, so two shares of the same size printed with the same options line up on their marks.

#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <array>
#include <optional>

struct PrintGeometry {
    static constexpr double kPageMarginMm = 10;     // most printers cannot print nearer the edge
    static constexpr double kMarkOffsetMm = 5;      // mark centres, diagonally out from each corner
    static constexpr double kMarkArmMm = 3;         // half the cross; also the circle's radius
    static constexpr double kFooterMm = 12;         // two caption lines and the scale bar
    static constexpr double kScaleBarMm = 10;
};

class CPrintLayout {
public:
    // Nothing when the picture, its marks and its footer do not fit the page either way round.
    static std::optional<CPrintLayout> Fit(int widthPx, int heightPx, double pixelMm, QPageSize::PageSizeId page);
    // The largest pixel size (in mm) with which the picture still fits, either way round.
    static double LargestPixelMm(int widthPx, int heightPx, QPageSize::PageSizeId page);
    // The same rounded down to a thousandth of a millimetre, as it is offered to the user, and the
    // fewest dots an inch that fit.
    static double OfferedPixelMm(int widthPx, int heightPx, QPageSize::PageSizeId page);
    static int OfferedDpi(int widthPx, int heightPx, QPageSize::PageSizeId page);

    QPageLayout GetPageLayout() const;  // the page the way round the picture needs, no margins
    QSizeF GetPageMm() const { return m_page; }
    QRectF GetPictureMm() const { return m_picture; }
    std::array<QPointF, 4> GetMarkCentresMm() const;  // top left, top right, bottom right, bottom left
    QRectF GetFooterMm() const;  // below the marks, between the page margins: caption and scale bar

private:
    CPrintLayout(QPageSize::PageSizeId id, bool landscape, QSizeF page, QRectF picture)
        : m_id(id), m_landscape(landscape), m_page(page), m_picture(picture)
    {
    }

    QPageSize::PageSizeId m_id;
    bool m_landscape;
    QSizeF m_page;
    QRectF m_picture;
};
