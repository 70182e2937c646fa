// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a stack of shares shows of its secret, by kvt measure's code: the darkness over black and
// white secret pixels (h/m, l/m), alpha, beta, the error rate, SSIM, and whether the stack leaks
// the secret (a chi-square test of its patterns against the secret's colours, with its p-value).

#include <QImage>
#include <optional>
#include <vector>

#include "measure/RevealContrast.h"

struct StackFigures {
    ContrastFigures contrast;
    std::optional<double> ssim;
    std::optional<double> leakPValue;  // nothing when the secret has one colour only
    bool leaks = false;
};

// The shares (each a whole multiple of the secret's size) stacked in place over one frame of the
// secret; nothing when a share is no multiple of the secret or there are none.
std::optional<StackFigures> MeasureStack(const QImage& secret, const std::vector<const QImage*>& shares);

// Every set of `size` shares out of `count`, in order: {0, 1, 2}, {0, 1, 3}, ...
std::vector<std::vector<int>> SharesOf(int count, int size);
