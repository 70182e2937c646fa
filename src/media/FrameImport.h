// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An import: the frames of pictures or a video made ready for a black-and-white stream, one at a
// time (fitted to the stream's size, toned, inverted if asked, halftoned). kvt import writes them to
// a file; the studio previews and splits them; both give the same bytes for the same settings.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/FrameFit.h"
#include "media/FrameSource.h"
#include "media/Halftone.h"
#include "media/ToneMap.h"

struct ToneSettings {
    GreyLevels levels;
    double gamma = 1.0;
    AutoLevels autoLevels = AutoLevels::off;
    bool invert = false;
    bool operator==(const ToneSettings&) const = default;
};

struct ImportSettings {
    std::optional<QSize> size;  // the first input's when empty
    FitMode fit = FitMode::contain;
    ToneSettings tone;
    std::optional<DitherMethod> dither;  // chosen by the frame count when empty
    int threshold = kDefaultThreshold;   // for DitherMethod::threshold
    VideoRange range;
};

// Error diffusion suits a still picture best, but makes still parts of a motion picture crawl; a
// mask gives the same dots for the same grey in every frame.
DitherMethod ChooseDitherMethod(std::optional<DitherMethod> asked, std::uint64_t expectedFrames);

// One source frame made into a stream frame.
class CFramePreparer {
public:
    CFramePreparer(QSize size, FitMode fit, const ToneSettings& tone, DitherMethod method, int threshold);

    // `grey` is a Format_Grayscale8 frame of any size; `frame` becomes one of the stream's size.
    // False when it can't be scaled to that size.
    bool Prepare(const QImage& grey, QImage& frame);
    // Measures the tone on a frame without preparing it: a preview of a later frame, with levels
    // measured once, measures the first frame first.
    void MeasureTone(const QImage& grey) { m_tone.Measure(grey); }

private:
    CFrameFitter m_fitter;
    CToneStage m_tone;
    bool m_invert;
    std::unique_ptr<CHalftoner> m_halftoner;
};

// What kept an import from opening.
enum class ImportRefusal {
    none,
    source,         // an input can't be read: GetError() says "PATH: REASON"
    size,           // the frame size can't be a stream's: GetError() says why
    tooManyFrames,  // more frames than a stream holds: GetExpectedFrameCount() says how many
};

class CFrameImport {
public:
    ImportRefusal Open(const std::vector<std::filesystem::path>& inputs, const ImportSettings& settings);

    QSize GetFrameSize() const { return m_frameSize; }
    std::uint64_t GetExpectedFrameCount() const { return m_expected; }
    DitherMethod GetDitherMethod() const { return m_method; }
    // The frames given so far.
    std::uint64_t GetFrameCount() const { return m_read; }

    // The next stream frame (Format_Grayscale8 of GetFrameSize()). On FrameRead::failed GetError()
    // says "PATH: REASON": an unreadable frame, one that can't be scaled, or one more than a
    // stream holds.
    FrameRead ReadFrame(QImage& frame);
    const std::string& GetError() const { return m_error; }

private:
    std::filesystem::path m_firstInput;
    std::unique_ptr<CFrameSource> m_source;
    std::unique_ptr<CFramePreparer> m_preparer;
    QSize m_frameSize;
    std::uint64_t m_expected = 0;
    std::uint64_t m_read = 0;
    DitherMethod m_method = DitherMethod::none;
    QImage m_grey;
    std::string m_error;
};

// "PATH: N frames, more than the 65535 a stream holds: ..." with what to do about it.
std::string TooManyFramesMessage(const std::filesystem::path& input, std::uint64_t frames);
