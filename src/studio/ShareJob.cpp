// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ShareJob.h"

#include <QTemporaryDir>

#include "shares/ShareWriting.h"
#include "stream/StreamFileWriter.h"
#include "studio/CaughtMessage.h"

bool CShareJob::Import(const std::filesystem::path& secret, std::stop_token stop, ShareJobResult& result)
{
    CFrameImport import;
    if (import.Open({m_request.source}, m_request.import) != ImportRefusal::none) {
        result.error = import.GetError();
        return false;
    }
    const QSize size = import.GetFrameSize();
    // Twice the frames: once imported, once split.
    m_total = 2 * import.GetExpectedFrameCount();
    CStreamFileWriter writer;
    if (!writer.Open(secret, size.width(), size.height(), 0, import.GetExpectedFrameCount())) {
        result.error = secret.string() + ": " + writer.GetError();
        return false;
    }
    QImage frame;
    FrameRead read;
    while ((read = import.ReadFrame(frame)) == FrameRead::frame) {
        if (stop.stop_requested()) {
            result.outcome = ShareJobOutcome::stopped;
            return false;
        }
        if (!writer.WriteFrame(frame.constBits())) {
            result.error = secret.string() + ": " + writer.GetError();
            return false;
        }
        ++m_done;
    }
    if (read == FrameRead::failed) {
        result.error = import.GetError();
        return false;
    }
    if (import.GetFrameCount() == 0) {
        result.error = m_request.source.string() + ": no frames between the start and the end";
        return false;
    }
    // The count may differ from a video's estimate.
    m_total = m_done + import.GetFrameCount();
    if (!writer.Commit()) {
        result.error = secret.string() + ": " + writer.GetError();
        return false;
    }
    return true;
}

JobCounts CShareJob::GetCounts() const
{
    const std::uint64_t splitFrom = m_splitFrom;
    const bool importing = splitFrom == kImporting;
    return {m_done, m_total, importing ? 0 : splitFrom, importing};
}

ShareJobResult CShareJob::Run(std::stop_token stop)
{
    ShareJobResult result;
    CCaughtMessage message;
    // The imported secret lives only as long as the job.
    QTemporaryDir scratch;
    std::filesystem::path secret = m_request.source;
    if (m_request.kind != SourceKind::stream) {
        if (!scratch.isValid()) {
            result.error = "a temporary folder for the secret: " + scratch.errorString().toStdString();
            return result;
        }
        secret = std::filesystem::path(scratch.path().toStdString()) / "secret.kvt";
        m_splitFrom = kImporting;
        if (!Import(secret, stop, result))
            return result;
        m_splitFrom = m_done.load();
    }
    CShareWriting writing;
    if (!writing.Prepare(ShareRequest{secret, m_request.making, m_request.seed, m_request.folder, m_request.title})) {
        result.error = message.About(m_request.source.string(), "the shares can't be made");
        return result;
    }
    const std::uint64_t before = m_done;
    if (m_request.kind == SourceKind::stream)
        m_total = writing.GetShareHeader().frameCount;
    const ShareResult written = writing.Write(
        [this, before](const ShareProgress& progress) {
            m_done = before + progress.frame;
            return true;
        },
        stop);
    if (written == ShareResult::Stopped) {
        result.outcome = ShareJobOutcome::stopped;
        return result;
    }
    if (written == ShareResult::Failed) {
        result.error = message.GetText().empty() ? m_request.folder.string() + ": the shares can't be written"
                                                 : message.GetText();
        return result;
    }
    result.outcome = ShareJobOutcome::written;
    result.paths = writing.GetPaths();
    result.greyPixels = writing.GetGreyPixels();
    return result;
}
