// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/FigureJob.h"

#include "studio/CaughtMessage.h"
#include "studio/SecretPreview.h"
#include "studio/ShareSet.h"
#include "studio/StudioSource.h"

namespace {
std::vector<const QImage*> FramesOf(const CShareSet& shares, const std::vector<int>& set)
{
    std::vector<const QImage*> frames;
    for (int i : set)
        frames.push_back(&shares.GetFrame(i));
    return frames;
}
}  // namespace

FigureJobResult CFigureJob::Run(std::stop_token stop)
{
    FigureJobResult result;
    CCaughtMessage message;
    CStudioSource source;
    CShareSet shares;
    if (!source.Open(m_request.source, m_request.import.range)) {
        result.error = source.GetError();
        return result;
    }
    if (!shares.Open(m_request.shares, result.error))
        return result;
    const std::uint64_t frames = std::min<std::uint64_t>(shares.GetFrameCount(), source.GetFrameCount());
    m_total = frames + 1;
    FramePreview preview;
    for (std::uint64_t f = 0; f < frames; ++f) {
        if (stop.stop_requested()) {
            result.stopped = true;
            return result;
        }
        if (!source.Seek(f)) {
            result.error = source.GetError();
            return result;
        }
        if (!shares.LoadFrame(static_cast<std::uint32_t>(f), result.error) ||
            !PreviewFrame(source, m_request.import, preview, result.error))
            return result;
        const auto figures = MeasureStack(preview.secret, FramesOf(shares, m_request.checked));
        result.alpha.push_back(figures ? figures->contrast.alpha : std::nullopt);
        result.ssim.push_back(figures ? figures->ssim : std::nullopt);
        if (f == std::min(m_request.frame, frames - 1)) {
            // Every set that must show the secret, and every set that must not.
            for (int size : {m_request.k, m_request.k - 1})
                for (const std::vector<int>& set : SharesOf(shares.GetCount(), size))
                    result.subsets.push_back({set, MeasureStack(preview.secret, FramesOf(shares, set))});
        }
        ++m_done;
    }
    ++m_done;
    return result;
}
