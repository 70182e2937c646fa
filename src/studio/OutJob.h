// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exporting or printing shares, or shares put together, on a worker thread: each output's frames go
// through kvt export's or kvt print's sink into one folder, and every file of every output is put in
// place together or not at all. Progress is read from any thread; a stop asked for leaves nothing
// behind.

#include <QPageSize>
#include <QPoint>
#include <QString>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

#include "studio/RevealStack.h"

// Pictures, an animation or a video per share, as kvt export writes them.
struct ExportSettings {
    std::string extension = ".png";  // one of kvt export's endings
    int scale = 1;
    int delayMs = 100;
};

// A PDF per share, a page a frame, as kvt print writes it.
struct PrintSettings {
    double pixelMm = 0.4;
    QString pixelSize = QStringLiteral("0.4 mm");  // as the caption says it
    QPageSize::PageSizeId page = QPageSize::A4;
    bool marks = true;
};

// A share as it lies in a stack: moved by an offset in subpixels.
struct OutLayer {
    std::filesystem::path share;
    QPoint offset;
};

// What one output holds: a share as it is, or several laid together as the reveal lays them (with
// no offsets, the bytes kvt reveal writes).
struct OutItem {
    std::vector<OutLayer> layers;
    StackMode mode = StackMode::stack;
    std::string name;  // the output's name without its ending
};

// A share written as it is, named after its file.
OutItem ShareItem(const std::filesystem::path& share);
// What a printed page of the item says it shows: the share's file name, or the stack's name.
std::string ItemCaption(const OutItem& item);

struct OutRequest {
    std::vector<OutItem> items;
    std::filesystem::path folder;
    std::variant<ExportSettings, PrintSettings> kind;
};

// Where an output `name` of `frameCount` frames goes: NAME.gif, NAME.pdf, or numbered pictures
// NAME-0000.png ... (NAME.png for a single frame).
std::filesystem::path OutName(const std::string& name, const std::string& extension, int frameCount);

enum class OutOutcome { written, failed, stopped };

struct OutResult {
    OutOutcome outcome = OutOutcome::failed;
    std::string error;                  // what failed, on which file, and why
    std::vector<std::string> warnings;  // a GIF's rate, a lossy encoder
    std::vector<std::filesystem::path> outputs;  // one an item (the pattern for numbered pictures)
};

class COutJob {
public:
    explicit COutJob(OutRequest request) : m_request(std::move(request)) {}

    // The work; call once, on the worker thread.
    OutResult Run(std::stop_token stop);

    std::uint64_t GetDone() const { return m_done; }
    std::uint64_t GetTotal() const { return m_total; }

private:
    OutRequest m_request;
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_total{0};
};
