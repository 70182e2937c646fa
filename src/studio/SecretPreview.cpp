// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/SecretPreview.h"

#include "studio/StudioSource.h"

QSize SecretFrameSize(const CStudioSource& source, const ImportSettings& settings)
{
    if (source.GetKind() == SourceKind::stream)
        return source.GetFrameSize();
    return settings.size.value_or(source.GetFrameSize());
}

bool PreviewFrame(const CStudioSource& source, const ImportSettings& settings, FramePreview& preview,
                  std::string& error)
{
    if (source.GetKind() == SourceKind::stream) {
        preview.original = preview.secret = source.GetFrame();
        return true;
    }
    const QSize size = SecretFrameSize(source, settings);
    if (const auto refusal = RefuseFrameSize(size)) {
        error = *refusal;
        return false;
    }
    const DitherMethod method = ChooseDitherMethod(settings.dither, source.GetFrameCount());
    CFramePreparer preparer(size, settings.fit, settings.tone, method, settings.threshold);
    if (settings.tone.autoLevels == AutoLevels::first)
        preparer.MeasureTone(source.GetFirstFrame());
    CFrameFitter fitter(size, settings.fit);
    if (!fitter.Fit(source.GetFrame(), preview.original) || !preparer.Prepare(source.GetFrame(), preview.secret)) {
        error = source.GetPath().string() + ": frame " + std::to_string(source.GetIndex() + 1) + " can't be scaled to " +
                std::to_string(size.width()) + "x" + std::to_string(size.height());
        return false;
    }
    return true;
}
