// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kvt import's tone options: --gamma G, --levels BLACK:WHITE and --auto-levels[=each].

#include <optional>
#include <string>

#include "cli/CommandLine.h"

#include "media/FrameImport.h"

struct ToneOptions {
    double gamma = 1.0;
    std::optional<std::string> levels;
    std::optional<std::string> autoLevels;  // "true" for the bare flag, "first" or "each"
};

void AddToneOptions(CCommand& command, ToneOptions& options);

// The tone the options ask for into `tone` (its invert left alone); false, after a usage line on
// stderr, when they contradict each other or --levels is malformed.
bool ReadToneOptions(const ToneOptions& options, ToneSettings& tone);
