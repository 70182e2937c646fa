// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grey 8-bit pictures: a stream frame seen as a QImage, blocks of pixels, PNG and PGM files.

#include <QImage>
#include <cstdint>
#include <string>

class QIODevice;

// The frame's rows (stride-aligned, as in a stream) seen as a picture, without a copy.
QImage WrapGreyFrame(const std::uint8_t* frame, int width, int height);

// Every pixel becomes a factor x factor block of the same grey.
QImage ScaleUpNearest(const QImage& grey, int factor);

// Writes `grey` as "png" or "pgm" to an open device; false with Qt's reason in `error`.
bool WriteGreyPicture(QIODevice& device, const QImage& grey, const char* format, std::string& error);
