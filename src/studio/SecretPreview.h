// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The current frame twice, at the stream's size: as the source shows it and as the secret the
// import makes of it, so every tone and halftone control can be judged as it moves.

#include <QImage>
#include <string>

#include "media/FrameImport.h"

class CStudioSource;

struct FramePreview {
    QImage original;  // fitted, its greys as they are
    QImage secret;    // toned and halftoned: what the shares are made of
};

// The stream's frame size the settings give for this source.
QSize SecretFrameSize(const CStudioSource& source, const ImportSettings& settings);

// The current frame of `source` prepared by `settings`; a stream's frames are its secret as they
// stand. False with `error` when the settings' size can't be a stream's.
bool PreviewFrame(const CStudioSource& source, const ImportSettings& settings, FramePreview& preview,
                  std::string& error);
