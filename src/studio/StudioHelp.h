// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The studio's words about itself: `kvtstudio --help` and `--version` (answered on stdout before a
// display is opened, so they work on a console and make the manual page) and the help page (F1).

#include <QString>
#include <optional>
#include <span>
#include <string>

// The text for the first --help or --version among the words after the program's name, or nothing
// when neither is there.
std::optional<std::string> StudioInfoText(std::span<char* const> words);
std::string StudioVersionText();
// The help page, in the user's language.
QString StudioHelpText();
