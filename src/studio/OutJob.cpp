// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/OutJob.h"

#include <algorithm>
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
// One output's shares opened, read a frame at a time and laid together.
class COpenedItem {
public:
    explicit COpenedItem(const OutItem& item) : m_item(item) {}

    // Opens every share of the item; false with `error` naming the one that can't be read.
    bool Open(std::string& error)
    {
        for (const OutLayer& layer : m_item.layers) {
            CCaughtMessage message;
            auto& reader = m_readers.emplace_back(std::make_unique<CStreamFileReader>());
            if (!OpenInput(*reader, layer.share)) {
                error = message.About(layer.share.string(), "can't be read");
                return false;
            }
            const KvtHeader& header = reader->GetHeader();
            m_frameCount = m_readers.size() == 1 ? header.frameCount : std::min<std::uint32_t>(m_frameCount, header.frameCount);
        }
        return true;
    }

    const OutItem& GetItem() const { return m_item; }
    const KvtHeader& GetHeader() const { return m_readers.front()->GetHeader(); }
    // Frames every share of the item holds.
    int GetFrameCount() const { return static_cast<int>(m_frameCount); }

    // The next frame of the shares laid together; null when a share can't be read, with the
    // share's name in `error`.
    QImage Next(std::string& error)
    {
        std::vector<QImage> frames;
        std::vector<StackLayer> layers;
        frames.reserve(m_readers.size());
        for (std::size_t i = 0; i < m_readers.size(); ++i) {
            const KvtHeader& header = m_readers[i]->GetHeader();
            QImage& frame = frames.emplace_back(header.width, header.height, QImage::Format_Grayscale8);
            CCaughtMessage message;
            if (!m_readers[i]->ReadFrame(frame.bits())) {
                error = message.About(m_item.layers[i].share.string(), "can't be read");
                return {};
            }
            layers.push_back({&frame, m_item.layers[i].offset});
        }
        return StackLayers(layers, m_item.mode);
    }

    fs::path out;

private:
    const OutItem& m_item;
    std::vector<std::unique_ptr<CStreamFileReader>> m_readers;
    std::uint32_t m_frameCount = 0;
};

// Opens the sink that writes `item` into `set`; null, with `error`, when it can't.
std::unique_ptr<CFrameSink> OpenSink(const OutRequest& request, const COpenedItem& item, CFileSet& set,
                                     OutResult& result)
{
    const KvtHeader& header = item.GetHeader();
    const int last = item.GetFrameCount() - 1;
    if (const auto* exportAs = std::get_if<ExportSettings>(&request.kind)) {
        ExportTarget target{item.out, FindExportFormat(item.out), std::nullopt, 0, last,
                            QSize(header.width, header.height) * exportAs->scale, exportAs->delayMs};
        if (target.format->picture && !(target.names = ExportPictureNames(item.out, last + 1, result.error)))
            return nullptr;
        auto sink = OpenExportSink(target, &set, result.error);
        if (const auto* video = dynamic_cast<const CVideoFileSink*>(sink.get()))
            if (const auto warning = LossyVideoWarning(video->GetEncoder()); warning && result.warnings.empty())
                result.warnings.push_back(*warning);  // said once for every output
        return sink;
    }
    const auto& print = std::get<PrintSettings>(request.kind);
    const auto layout = CPrintLayout::Fit(header.width, header.height, print.pixelMm, print.page);
    if (!layout) {
        result.error = item.out.string() + ": " + std::to_string(header.width) + " x " +
                       std::to_string(header.height) + " pixels of " + print.pixelSize.toStdString() +
                       " do not fit on the page";
        return nullptr;
    }
    const fs::path staged = set.Add(item.out.filename().string());
    if (staged.empty()) {
        result.error = set.GetErrorPath().string() + ": " + set.GetError();
        return nullptr;
    }
    auto sink = std::make_unique<CPdfFileSink>(staged, item.out);
    const PrintCaption caption{QString::fromStdString(ItemCaption(item.GetItem())), print.pixelSize};
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

OutItem ShareItem(const fs::path& share)
{
    return {{{share, QPoint()}}, StackMode::stack, share.stem().string()};
}

std::string ItemCaption(const OutItem& item)
{
    // As kvt print names the stream it prints.
    return item.layers.size() == 1 ? item.layers.front().share.filename().string() : item.name;
}

fs::path OutName(const std::string& name, const std::string& extension, int frameCount)
{
    const ExportFormat* format = FindExportFormat("frame" + extension);
    const bool numbered = frameCount > 1 && format && format->picture;
    return name + (numbered ? "-%04d" : "") + extension;
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
    std::vector<std::unique_ptr<COpenedItem>> items;
    std::vector<fs::path> inputs, outputs;
    for (const OutItem& request : m_request.items) {
        auto item = std::make_unique<COpenedItem>(request);
        if (!item->Open(result.error))
            return result;
        item->out = m_request.folder / OutName(request.name, Extension(m_request), item->GetFrameCount());
        m_total += static_cast<std::uint64_t>(item->GetFrameCount());
        for (const OutLayer& layer : request.layers)
            inputs.push_back(layer.share);
        outputs.push_back(item->out);
        items.push_back(std::move(item));
    }
    if (!CheckOutputs("kvtstudio", outputs, inputs))
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
    for (auto& item : items) {
        const std::unique_ptr<CFrameSink> sink = OpenSink(m_request, *item, set, result);
        if (!sink)
            return fail(item->out, "can't be written");
        std::string readError;
        const NextFrame next = [&] { return item->Next(readError); };
        const CopyOutcome copied = CopyFrames(next, 0, item->GetFrameCount() - 1, scale, *sink, [&](std::uint64_t) {
            ++m_done;
            return !stop.stop_requested();
        }, result.error);
        if (copied == CopyOutcome::stopped) {
            result.outcome = OutOutcome::stopped;
            return result;
        }
        if (copied == CopyOutcome::failed) {
            if (result.error.empty())
                result.error = readError;
            return fail(item->out, "can't be written");
        }
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
