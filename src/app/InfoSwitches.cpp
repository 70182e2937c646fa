// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InfoSwitches.h"

#include <string_view>

#include "io/ProgramVersion.h"

namespace {
constexpr const char* kHelp = R"(Usage: kvtplayer [FILE]
KVTPlayer plays .kvt image streams frame by frame, splits a stream into two
VSS(2, 2) shadow streams and reveals the secret by putting two shadows together,
interlaced in time or stacked side by side. With FILE it opens that .kvt file;
without, it starts with no stream open.

Options:
  -Embedding, -Automation
                 start without the splash window
  --help         print this help and exit
  --version      print the version and the licence and exit

kvt(1) does the same work on the command line, for batch work.
)";
}  // namespace

std::optional<std::string> InfoSwitchText(std::span<char* const> words)
{
    for (const std::string_view word : words) {
        if (word == "--help")
            return kHelp;
        if (word == "--version")
            return VersionText("kvtplayer");
    }
    return std::nullopt;
}
