// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FramePicture.h"

#include <QImageWriter>

namespace {
// The density a picture says it has: Qt's default is the screen's, where there is one, so the
// same frame would be written differently by a program with a window. 3937 dots a metre (100 an
// inch) is what Qt gives without a screen, as kvt's pictures have always said.
constexpr int kDotsPerMetre = 3937;
}  // namespace

QImage WrapGreyFrame(const std::uint8_t* frame, int width, int height)
{
    const qsizetype stride = (width + 3) / 4 * 4;
    return QImage(frame, width, height, stride, QImage::Format_Grayscale8);
}

QImage ScaleUpNearest(const QImage& grey, int factor)
{
    if (factor == 1)
        return grey;
    // Qt's fast transformation samples the nearest pixel, so a whole factor gives exact blocks.
    return grey.scaled(grey.width() * factor, grey.height() * factor, Qt::IgnoreAspectRatio,
                       Qt::FastTransformation);
}

bool WriteGreyPicture(QIODevice& device, const QImage& grey, const char* format, std::string& error)
{
    QImageWriter writer(&device, format);
    QImage picture = grey;  // shares the pixels
    picture.setDotsPerMeterX(kDotsPerMetre);
    picture.setDotsPerMeterY(kDotsPerMetre);
    if (writer.write(picture))
        return true;
    error = writer.errorString().toStdString();
    return false;
}
