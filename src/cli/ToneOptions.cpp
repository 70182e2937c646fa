// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToneOptions.h"

#include "cli/NumberOptions.h"
#include "io/Message.h"

void AddToneOptions(CCommand& command, ToneOptions& options)
{
    command.AddOption("--gamma", options.gamma, "Above 1 lightens the middle greys, below 1 darkens them (default 1)")
        .Check(NumberFrom(0.1, 10.0))
        .TypeName("G");
    command.AddOption("--levels", options.levels, "Input greys BLACK and below become black, WHITE and above white")
        .TypeName("BLACK:WHITE");
    // A bare flag gives "true".
    command
        .AddFlag("--auto-levels", options.autoLevels,
                  "Levels from the 1st and 99th percentiles of the first frame; =each: of every frame")
        .Check(COptionCheck([](const std::string& value) {
            return value == "true" || value == "first" || value == "each" ? std::string()
                                                                          : "takes no value, =first or =each";
        }));
}

bool ReadToneOptions(const ToneOptions& options, ToneSettings& tone)
{
    std::optional<GreyLevels> levels = GreyLevels{};
    if (options.levels && !(levels = ParseGreyLevels(*options.levels))) {
        ShowMessage("kvt import: --levels takes BLACK:WHITE, two greys from 0 to 255 with BLACK below WHITE");
        return false;
    }
    if (options.levels && options.autoLevels) {
        ShowMessage("kvt import: --levels and --auto-levels exclude each other");
        return false;
    }
    tone.levels = *levels;
    tone.gamma = options.gamma;
    tone.autoLevels = !options.autoLevels ? AutoLevels::off
                      : *options.autoLevels == "each" ? AutoLevels::each
                                                      : AutoLevels::first;
    return true;
}
