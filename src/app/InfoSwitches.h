// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `kvtplayer --help` and `kvtplayer --version`, answered on stdout before the player opens a
// display, so that they work on a console and build the manual page. Every other word belongs to
// the start-up command line (CommandLineInfo.h).

#include <optional>
#include <span>
#include <string>

// The text for the first --help or --version among the words after the program's name, or nothing
// when neither is there.
std::optional<std::string> InfoSwitchText(std::span<char* const> words);
