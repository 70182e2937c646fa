// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What kvt export, kvt print and the studio share: the kinds of file an export writes (by the
// output's ending), the sink that writes each kind, and a stream's frames read one at a time and
// handed to a sink (pictures, a video, PDF pages), so that any length fits in memory.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "media/NumberedName.h"
#include "media/VideoEncoder.h"

class CFileSet;
class CFrameSink;
class CStreamFileReader;

struct ExportFormat {
    const char* extension;
    const char* picture;  // Qt's name of the picture format; null for a video
    VideoKind video;
};

inline constexpr const char* kExportEndings = ".png, .pgm, .gif, .mkv or .mp4";
inline constexpr int kMaxExportSide = 65535;  // GIF's and most encoders' limit

// The format OUT's ending asks for, or null.
const ExportFormat* FindExportFormat(const std::filesystem::path& out);

// The numbered names of `frameCount` pictures written at OUT; nothing, with the reason, when OUT
// holds more than one number field or names one file for several frames.
std::optional<CNumberedName> ExportPictureNames(const std::filesystem::path& out, int frameCount, std::string& error);

// Why frames of `size` enlarged `scale` times can't be exported, or nothing.
std::optional<std::string> RefuseExportSize(QSize size, int scale);

// What a GIF does to a delay that isn't a whole hundredth of a second, or nothing.
std::optional<std::string> GifDelayWarning(int delayMs);
// What a lossy encoder does to shares, or nothing.
std::optional<std::string> LossyVideoWarning(const CVideoEncoder& encoder);

// An export's output: pictures `first` to `last` named by `names` into OUT's folder, or one video
// at OUT. With `set` the files are written into it (its owner commits it, with others); without,
// they are put in place by the sink's Finish. Null, with the error, when it can't be opened.
struct ExportTarget {
    std::filesystem::path out;
    const ExportFormat* format = nullptr;
    std::optional<CNumberedName> names;  // for pictures
    int first = 0;
    int last = 0;
    QSize size;  // of a frame, scaled
    int delayMs = 100;
};
std::unique_ptr<CFrameSink> OpenExportSink(const ExportTarget& target, CFileSet* set, std::string& error);

enum class CopyOutcome { written, failed, stopped };

// Told the bytes each frame added; returning false stops the copy.
using CopyProgress = std::function<bool(std::uint64_t bytes)>;

// The next frame of a stream, 8-bit grey; a null image when it can't be read (the reader has said
// why through the message routine).
using NextFrame = std::function<QImage()>;

// Reads frames up to frame `last` and hands each frame from `first` on, every pixel made a
// `scale` x `scale` block, to the sink, then finishes it. On failure `error` says why (empty when
// the reader said so through the message routine); stopped leaves the sink unfinished.
CopyOutcome CopyFrames(const NextFrame& next, int first, int last, int scale, CFrameSink& sink,
                       const CopyProgress& progress, std::string& error);
// The same for a stream file's frames.
CopyOutcome CopyFrames(CStreamFileReader& reader, int first, int last, int scale, CFrameSink& sink,
                       const CopyProgress& progress, std::string& error);
