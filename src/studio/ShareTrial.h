// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What kvt shadows would say of covers or a key before any work starts: the shares library makes
// the shares of the secret's frame on show, in a scratch folder, so that covers of another size,
// a key that is no random first share or a cover black where the secret is are refused in kvt's
// own words while the real run has not begun.

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>

#include "studio/ShareJob.h"

// The refusal, or nothing when the library takes the covers or the key for `secret`
// (QImage::Format_Grayscale8, black and white).
std::optional<std::string> TryCoversOrKey(const QImage& secret, const ShareMaking& making,
                                          std::optional<std::uint32_t> seed);
