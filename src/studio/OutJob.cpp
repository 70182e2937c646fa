// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/OutJob.h"

#include <memory>
#include <optional>

#include "io/FileSet.h"
#include "io/OutputCheck.h"
#include "media/FrameSink.h"
#include "media/PdfFileSink.h"
#include "media/StreamExport.h"
#include "media/VideoFileSink.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFiles.h"
#include "studio/CaughtMessage.h"

namespace fs = std::filesystem;

namespace {
// One share opened, and what it is written as.
struct OpenedShare {
    CStreamFileReader reader;
    fs::path path;
    fs::path out;
};

// Opens the sink that writes `share` into `set`; null, with `error`, when it can't.
std::unique_ptr<CFrameSink> OpenSink(const OutRequest& request, OpenedShare& share, CFileSet& set, OutResult& result)
{
    const KvtHeader& header = share.reader.GetHeader();
    const int last = static_cast<int>(header.frameCount) - 1;
    if (const auto* exportAs = std::get_if<ExportSettings>(&request.kind)) {
        ExportTarget target{share.out, FindExportFormat(share.out), std::nullopt, 0, last,
                            QSize(header.width, header.height) * exportAs->scale, exportAs->delayMs};
        if (target.format->picture && !(target.names = ExportPictureNames(share.out, last + 1, result.error)))
            return nullptr;
        auto sink = OpenExportSink(target, &set, result.error);
        if (const auto* video = dynamic_cast<const CVideoFileSink*>(sink.get()))
            if (const auto warning = LossyVideoWarning(video->GetEncoder()); warning && result.warnings.empty())
                result.warnings.push_back(*warning);  // said once for every share
        return sink;
    }
    const auto& print = std::get<PrintSettings>(request.kind);
    const auto layout = CPrintLayout::Fit(header.width, header.height, print.pixelMm, print.page);
    if (!layout) {
        result.error = share.out.string() + ": " + std::to_string(header.width) + " x " +
                       std::to_string(header.height) + " pixels of " + print.pixelSize.toStdString() +
                       " do not fit on the page";
        return nullptr;
    }
    const fs::path staged = set.Add(share.out.filename().string());
    if (staged.empty()) {
        result.error = set.GetErrorPath().string() + ": " + set.GetError();
        return nullptr;
    }
    auto sink = std::make_unique<CPdfFileSink>(staged, share.out);
    const PrintCaption caption{QString::fromStdString(share.path.filename().string()), print.pixelSize};
    if (!sink->Open(*layout, print.pixelMm, print.marks, caption)) {
        result.error = sink->GetError();
        return nullptr;
    }
    return sink;
}

std::string Extension(const OutRequest& request)
{
    const auto* exportAs = std::get_if<ExportSettings>(&request.kind);
    return exportAs ? exportAs->extension : ".pdf";
}
}  // namespace

fs::path OutName(const fs::path& share, const std::string& extension, int frameCount)
{
    const ExportFormat* format = FindExportFormat("frame" + extension);
    const bool numbered = frameCount > 1 && format && format->picture;
    return share.stem().string() + (numbered ? "-%04d" : "") + extension;
}

OutResult COutJob::Run(std::stop_token stop)
{
    OutResult result;
    CCaughtMessage message;
    const auto fail = [&](const fs::path& file, const std::string& fallback) {
        if (result.error.empty())
            result.error = message.About(file.string(), fallback);
        return result;
    };
    std::vector<std::unique_ptr<OpenedShare>> shares;
    std::vector<fs::path> outputs;
    for (const fs::path& path : m_request.shares) {
        auto share = std::make_unique<OpenedShare>();
        share->path = path;
        if (!OpenInput(share->reader, path))
            return fail(path, "can't be read");
        const int frames = static_cast<int>(share->reader.GetHeader().frameCount);
        share->out = m_request.folder / OutName(path, Extension(m_request), frames);
        m_total += static_cast<std::uint64_t>(frames);
        outputs.push_back(share->out);
        shares.push_back(std::move(share));
    }
    if (!CheckOutputs("kvtstudio", outputs, m_request.shares))
        return fail(m_request.folder, "can't be written");
    if (const auto* exportAs = std::get_if<ExportSettings>(&m_request.kind); exportAs && exportAs->extension == ".gif")
        if (const auto warning = GifDelayWarning(exportAs->delayMs))
            result.warnings.push_back(*warning);
    CFileSet set(m_request.folder);
    if (!set.Open()) {
        result.error = set.GetErrorPath().string() + ": " + set.GetError();
        return result;
    }
    const auto* exportAs = std::get_if<ExportSettings>(&m_request.kind);
    const int scale = exportAs ? exportAs->scale : 1;
    for (auto& share : shares) {
        const std::unique_ptr<CFrameSink> sink = OpenSink(m_request, *share, set, result);
        if (!sink)
            return fail(share->out, "can't be written");
        const int last = static_cast<int>(share->reader.GetHeader().frameCount) - 1;
        const CopyOutcome copied = CopyFrames(share->reader, 0, last, scale, *sink, [&](std::uint64_t) {
            ++m_done;
            return !stop.stop_requested();
        }, result.error);
        if (copied == CopyOutcome::stopped) {
            result.outcome = OutOutcome::stopped;
            return result;
        }
        if (copied == CopyOutcome::failed)
            return fail(share->path, "can't be read");
    }
    if (stop.stop_requested()) {
        result.outcome = OutOutcome::stopped;
        return result;
    }
    if (!set.Commit()) {
        result.error = set.GetErrorPath().string() + ": " + set.GetError();
        return result;
    }
    result.outcome = OutOutcome::written;
    result.outputs = std::move(outputs);
    return result;
}
