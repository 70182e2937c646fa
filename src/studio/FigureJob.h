// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figures that take a while, on a worker thread: the checked stack's contrast and SSIM frame by
// frame over the whole stream, and every set of k and of k - 1 shares measured on the current
// frame (k - 1 must show nothing). The source and the shares are opened anew, so the window's own
// stay where they are.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "media/FrameImport.h"
#include "studio/StackFigures.h"

struct FigureJobRequest {
    std::filesystem::path source;
    ImportSettings import;
    std::vector<std::filesystem::path> shares;
    std::vector<int> checked;
    int k = 2;
    std::uint64_t frame = 0;  // the current frame
};

struct SubsetFigures {
    std::vector<int> shares;
    std::optional<StackFigures> figures;
};

struct FigureJobResult {
    std::vector<SubsetFigures> subsets;
    // The checked stack's alpha and SSIM, a value each frame (nothing where it has none).
    std::vector<std::optional<double>> alpha;
    std::vector<std::optional<double>> ssim;
    bool stopped = false;
    std::string error;
};

class CFigureJob {
public:
    explicit CFigureJob(FigureJobRequest request) : m_request(std::move(request)) {}

    FigureJobResult Run(std::stop_token stop);
    std::uint64_t GetDone() const { return m_done; }
    std::uint64_t GetTotal() const { return m_total; }

private:
    FigureJobRequest m_request;
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_total{0};
};
