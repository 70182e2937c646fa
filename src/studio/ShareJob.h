// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Making shares, on a worker thread: a picture or video is first imported (as kvt import would)
// into a secret stream in a temporary folder, then every share is written (as kvt shadows would)
// into the chosen folder, all of them or none. Progress is read from any thread; a stop asked for
// leaves nothing behind.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

#include "media/FrameImport.h"
#include "studio/StudioSource.h"
#include "studio/TimeLeft.h"
#include "shares/ShareWriting.h"

// What the shares are made by, as kvt shadows takes it.
using ShareMaking = std::variant<Scheme, CoverPair, KeyStream>;

struct ShareJobRequest {
    std::filesystem::path source;
    SourceKind kind = SourceKind::none;
    ImportSettings import;  // for pictures and video
    ShareMaking making;
    std::optional<std::uint32_t> seed;
    std::filesystem::path folder;
    std::string title;  // BASE of BASE-ShadowN.kvt
};

enum class ShareJobOutcome { written, failed, stopped };

struct ShareJobResult {
    ShareJobOutcome outcome = ShareJobOutcome::failed;
    std::string error;  // what failed, on which file, and why
    std::vector<std::filesystem::path> paths;
    std::uint64_t greyPixels = 0;  // of the secret, which show as white
};

class CShareJob {
public:
    explicit CShareJob(ShareJobRequest request) : m_request(std::move(request)) {}

    // The work; call once, on the worker thread.
    ShareJobResult Run(std::stop_token stop);

    // Frames done and to do, over both steps (import, then shares).
    std::uint64_t GetDone() const { return m_done; }
    std::uint64_t GetTotal() const { return m_total; }
    // The same, with the step under way: the import's pace says nothing of the split's.
    JobCounts GetCounts() const;

private:
    bool Import(const std::filesystem::path& secret, std::stop_token stop, ShareJobResult& result);

    ShareJobRequest m_request;
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_total{0};
    static constexpr std::uint64_t kImporting = UINT64_MAX;
    std::atomic<std::uint64_t> m_splitFrom{0};  // frames done when the split began
};
