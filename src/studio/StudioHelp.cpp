// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioHelp.h"

#include <QCoreApplication>
#include <string_view>

#include "io/ProgramVersion.h"

namespace {
constexpr const char* kUsage = R"(Usage: kvtstudio [FILE]
KVT Studio splits a secret picture, animated picture, video or .kvt stream into
shares by any of kvt's threshold schemes and shows any of them put together,
live, with the figures of what they reveal. With FILE it opens that file as the
secret.

Options:
  --help         print this help and exit
  --version      print the version and the licence and exit

kvt(1) does the same work on the command line; kvtplayer(1) plays streams.
)";
}  // namespace

std::string StudioVersionText()
{
    return VersionText("kvtstudio");
}

std::optional<std::string> StudioInfoText(std::span<char* const> words)
{
    for (const std::string_view word : words) {
        if (word == "--help")
            return kUsage;
        if (word == "--version")
            return StudioVersionText();
    }
    return std::nullopt;
}

QString StudioHelpText()
{
    return QCoreApplication::translate(
        "StudioHelp",
        "<h3>KVT Studio</h3>"
        "<p>The whole path, left to right:</p>"
        "<ol><li><b>Source.</b> Open a picture, an animated GIF or WebP, a video or a .kvt stream (Ctrl+O, "
        "or drop it on the window). For a video choose the start, the duration and the frames a second. "
        "Tone (levels, gamma, invert) and halftoning turn the frame into the black-and-white secret; the "
        "two pictures show the frame before and after.</li>"
        "<li><b>Scheme.</b> Choose the family, k (shares needed), n (shares made) and a variant, or two "
        "covers (each share shows its own picture), or a key (a first share made before). The panel says "
        "what the scheme promises, or why kvt does not take it. A seed makes the shares repeatable, and "
        "so no secret from anyone who searches the seeds.</li>"
        "<li><b>Shares.</b> Make shares (Ctrl+S) writes BASE-Shadow1.kvt ... BASE-ShadowN.kvt into the "
        "folder chosen, all of them or none; Cancel stops it and leaves nothing behind.</li>"
        "<li><b>Reveal.</b> Check shares to see them stacked (black wins) or XORed; fewer than k show "
        "nothing. Choose a share in the list and drag it (or move it with the arrow keys) to see how "
        "exactly shares must lie on each other.</li></ol>"
        "<p>The frame slider and Play (Space) move through the frames, at a video's rate.</p>"
        "<p>Export (Ctrl+E) writes every share, only the checked ones, or the checked ones stacked (or "
        "XORed) as the reveal shows them, as PNG pictures, a GIF, an MKV or an MP4 video; Print (Ctrl+P) "
        "writes the same to PDF, a file each, at the subpixel size chosen, with a preview of each page. "
        "Both write every file or none.</p>");
}
