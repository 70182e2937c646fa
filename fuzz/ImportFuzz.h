// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file of the fuzzer's bytes imported as kvt import does it (CFrameImport: Qt's readers for a
// picture, FFmpeg for anything else), its first frames made into stream frames. The first byte
// picks the file's ending, the second the settings; the rest is the file.

#include <QImage>
#include <QImageReader>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "FuzzInput.h"
#include "media/FrameImport.h"

namespace import_fuzz {
// Pictures may claim any size: Qt refuses one above this before reading it.
inline constexpr int kAllocationLimitMb = 32;
// Frames read of an animation or a video: the first few show whether decoding holds.
inline constexpr int kFrameLimit = 6;
inline constexpr std::int64_t kPixelLimit = 4096 * 4096;  // a frame's pixels read at most

inline void Quiet()
{
    av_log_set_level(AV_LOG_QUIET);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QImageReader::setAllocationLimit(kAllocationLimitMb);
}

// The settings a byte picks: a small frame or the input's own size, any fit, any halftone.
inline ImportSettings SettingsOf(std::uint8_t bits)
{
    ImportSettings settings;
    if (!(bits & 1))
        settings.size = QSize(1 + (bits >> 1 & 7) * 5, 1 + (bits >> 4 & 3) * 7);
    settings.fit = static_cast<FitMode>((bits >> 1) % 3);
    settings.dither = static_cast<DitherMethod>((bits >> 3) % 5);
    settings.tone.autoLevels = static_cast<AutoLevels>((bits >> 6) % 3);
    settings.tone.invert = bits & 0x80;
    settings.range.fps = bits & 0x40 ? std::optional<double>(7.5) : std::nullopt;
    return settings;
}

inline int Run(const std::uint8_t* data, std::size_t size, std::span<const char* const> endings)
{
    static const bool quiet = (Quiet(), true);
    (void)quiet;
    CFuzzInput input(data, size);
    const std::string ending = endings[input.Byte() % endings.size()];
    const ImportSettings settings = SettingsOf(input.Byte());
    const std::size_t offset = std::min<std::size_t>(size, 2);
    // A file in memory's folder, as kvt import gets its inputs; the folder goes at exit.
    static const struct Folder {
        std::filesystem::path path = std::filesystem::path("/dev/shm") / ("kvt-fuzz-" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() { std::filesystem::remove_all(path); }
    } folder;
    const std::filesystem::path file = folder.path / ("input." + ending);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + offset), static_cast<std::streamsize>(size - offset));
    CFrameImport import;
    if (import.Open({file}, settings) != ImportRefusal::none) {
        if (import.GetError().empty())
            __builtin_trap();  // a refusal that says nothing
        return 0;
    }
    const QSize frameSize = import.GetFrameSize();
    // A tiny file may claim frames of 16400 x 12300, taken as claimed; reading such frames takes
    // minutes under the sanitizers and finds nothing the small ones don't.
    if (static_cast<std::int64_t>(frameSize.width()) * frameSize.height() > kPixelLimit)
        return 0;
    QImage frame;
    FrameRead read = FrameRead::frame;
    for (int i = 0; i < kFrameLimit && (read = import.ReadFrame(frame)) == FrameRead::frame; ++i)
        if (frame.size() != frameSize || frame.format() != QImage::Format_Grayscale8)
            __builtin_trap();  // a frame the stream writer would misread
    if (read == FrameRead::failed && import.GetError().empty())
        __builtin_trap();
    return 0;
}
}  // namespace import_fuzz
