// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GreyConversion.h"

#include <QImage>

void ToGreyOnWhite(const QImage& picture, QImage& grey)
{
    if (picture.format() == QImage::Format_Grayscale8) {
        grey = picture;
        return;
    }
    // Premultiplied colours make laying on white one addition: each channel gains 255 - alpha, and
    // so does the luma, whose weights add up to one.
    // Opaque RGB (what JPEG gives) already reads as premultiplied: no copy of a large photograph.
    const bool premultiplied =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage argb = premultiplied ? picture : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (grey.size() != argb.size() || grey.format() != QImage::Format_Grayscale8)
        grey = QImage(argb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = in[x];
            // Weights in 1/65536: 19595 + 38470 + 7471 = 65536.
            const unsigned luma = (19595u * qRed(pixel) + 38470u * qGreen(pixel) + 7471u * qBlue(pixel) + 32768u) >> 16;
            out[x] = static_cast<uchar>(luma + 255u - qAlpha(pixel));
        }
    }
}
