// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that need pictures or video. kvt lists them in its help and hands them to
// kvt-media, which links Qt and FFmpeg, so that every other command starts without loading either.

#include <array>
#include <string_view>

struct MediaCommand {
    const char* name;
    const char* description;
};

inline constexpr MediaCommand kImportCommand{
    "import",
    "Writes OUT, a .kvt stream from pictures (one frame each, every frame of an animated GIF or\n"
    "WebP) or from one video, made grey (Rec. 601 luma, transparency on white), scaled to the\n"
    "stream's size and halftoned to black and white: only black stays black in shadows. The\n"
    "default halftoning is floyd-steinberg for one still picture and blue-noise otherwise, whose\n"
    "dots stand still where the picture does. An existing OUT is replaced only when every frame\n"
    "was written."};
inline constexpr MediaCommand kExportCommand{
    "export",
    "Writes the frames of IN to OUT, by OUT's ending: .png or .pgm, one grey picture per frame\n"
    "(OUT holds a number field such as frame-%04d.png, filled with each frame's index; a single\n"
    "frame may name a plain file); .gif, a looping animation of 256 greys; .mkv, lossless FFV1\n"
    "video; .mp4, H.264 video (lossless with libx264). Nothing appears at OUT unless every\n"
    "frame was written."};
inline constexpr MediaCommand kPrintCommand{
    "print",
    "Writes OUT, a PDF with one frame of IN per page at physical scale, centred, with\n"
    "registration marks, a caption and a 10 mm scale bar. Print it at 100% (no scaling)."};

// In the order `kvt --help` lists them, after the other commands.
inline constexpr std::array kMediaCommands{kImportCommand, kExportCommand, kPrintCommand};

inline bool IsMediaCommand(std::string_view word)
{
    for (const MediaCommand& command : kMediaCommands)
        if (word == command.name)
            return true;
    return false;
}
