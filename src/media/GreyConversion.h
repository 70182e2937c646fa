// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture as grey: the Rec. 601 luma of its colours (0.299 R + 0.587 G + 0.114 B, on the stored
// gamma-encoded values, as JPEG and most video define grey), with transparent parts laid on white.

class QImage;

// Writes `picture`'s grey into `grey` (Format_Grayscale8, the picture's size).
void ToGreyOnWhite(const QImage& picture, QImage& grey);
