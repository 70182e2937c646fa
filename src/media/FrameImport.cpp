// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FrameImport.h"

#include "stream/KvtFormat.h"

DitherMethod ChooseDitherMethod(std::optional<DitherMethod> asked, std::uint64_t expectedFrames)
{
    if (asked)
        return *asked;
    return expectedFrames <= 1 ? DitherMethod::floydSteinberg : DitherMethod::blueNoise;
}

CFramePreparer::CFramePreparer(QSize size, FitMode fit, const ToneSettings& tone, DitherMethod method, int threshold)
    : m_fitter(size, fit),
      m_tone(tone.levels, tone.gamma, tone.autoLevels),
      m_invert(tone.invert),
      m_halftoner(MakeHalftoner(method, threshold))
{
}

bool CFramePreparer::Prepare(const QImage& grey, QImage& frame)
{
    m_tone.Measure(grey);
    if (!m_fitter.Fit(grey, frame))
        return false;
    m_tone.Apply(frame);
    if (m_invert)
        frame.invertPixels();
    if (m_halftoner)
        m_halftoner->Apply(frame);
    return true;
}

std::string TooManyFramesMessage(const std::filesystem::path& input, std::uint64_t frames)
{
    return input.string() + ": " + std::to_string(frames) + " frames, more than the " +
           std::to_string(kvt::kMaxFrameCount) +
           " a stream holds: import a part with --duration, or fewer frames a second with --fps";
}

ImportRefusal CFrameImport::Open(const std::vector<std::filesystem::path>& inputs, const ImportSettings& settings)
{
    m_firstInput = inputs.front();
    m_source = OpenFrameSource(inputs, settings.range, m_error);
    if (!m_source)
        return ImportRefusal::source;
    m_frameSize = settings.size.value_or(m_source->GetFrameSize());
    if (const auto refusal = RefuseFrameSize(m_frameSize)) {
        m_error = *refusal;
        return ImportRefusal::size;
    }
    m_expected = m_source->GetExpectedFrameCount();
    if (m_expected > kvt::kMaxFrameCount) {
        m_error = TooManyFramesMessage(m_firstInput, m_expected);
        return ImportRefusal::tooManyFrames;
    }
    m_method = ChooseDitherMethod(settings.dither, m_expected);
    m_preparer = std::make_unique<CFramePreparer>(m_frameSize, settings.fit, settings.tone, m_method, settings.threshold);
    m_read = 0;
    return ImportRefusal::none;
}

FrameRead CFrameImport::ReadFrame(QImage& frame)
{
    const FrameRead read = m_source->ReadFrame(m_grey);
    if (read == FrameRead::failed)
        m_error = m_source->GetError();
    if (read != FrameRead::frame)
        return read;
    if (m_read == kvt::kMaxFrameCount) {
        m_error = TooManyFramesMessage(m_firstInput, m_read + 1);
        return FrameRead::failed;
    }
    if (!m_preparer->Prepare(m_grey, frame)) {
        m_error = m_firstInput.string() + ": frame " + std::to_string(m_read + 1) + " can't be scaled to " +
                  std::to_string(m_frameSize.width()) + "x" + std::to_string(m_frameSize.height());
        return FrameRead::failed;
    }
    ++m_read;
    return FrameRead::frame;
}
