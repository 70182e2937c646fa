// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measures shares against their secret a frame at a time: each frame's stacked blocks (black
// wins) give the contrast figures and SSIM, consecutive frames how much the reveal crawls, and
// every share alone (and every stack of a chosen number of them) a leak test. Holds a few frames'
// worth of working memory, whatever the length of the stream.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/LeakTest.h"
#include "measure/RevealContrast.h"
#include "measure/RevealSimilarity.h"
#include "measure/SmallBlockTally.h"

struct FrameFigures {
    ContrastFigures contrast;
    std::optional<double> ssim;
    std::optional<double> psnr;
    // Share of stacked subpixels that changed since the previous frame where the secret pixel
    // kept its colour; nothing for the first frame or when every pixel changed colour.
    std::optional<double> crawl;
};

// Shares stacked for a leak test (indices from 0) and what the test counted.
struct StackLeakTest {
    std::vector<int> shares;
    CLeakTest test;
};

class CShareMeasurement {
public:
    // `stackSize` above 1 adds a leak test for every stack of that many shares to those of the
    // shares alone. Without blocks (1 x 1) the leak tests count the patterns of 2 x 2 windows of
    // pixels over secret pixels of one colour.
    CShareMeasurement(int secretWidth, int secretHeight, BlockShape block, int shareCount, int stackSize);

    // One frame: the secret's frame (rows `secretStride` apart) and one frame of each share (rows
    // `shareStride` apart); only 0 is black.
    FrameFigures MeasureFrame(const BYTE* secret, std::size_t secretStride, const std::vector<const BYTE*>& shares,
                              std::size_t shareStride);

    // The frames so far as one: contrast over all their pixels, the mean SSIM of the frames, PSNR
    // of all their pixels (each frame made grey by its own darknesses), crawl of all frame pairs.
    FrameFigures StreamFigures() const;
    const std::vector<StackLeakTest>& GetLeakTests() const { return m_leakTests; }
    BlockShape GetBlock() const { return m_block; }

private:
    void TallyKinds();
    void MeasureRow(int y, const BYTE* secretRow, const BYTE* rowAbove);
    void CountWindows(const BYTE* secretRow, const BYTE* rowAbove);
    BlockPattern StackedAt(const std::vector<int>& shares, int x, bool above) const;
    void StackRow(const std::vector<const BlockPattern*>& rows, BlockPattern* stacked) const;
    void CountCrawl(const BYTE* secretRow, const BlockPattern* stacked, const std::uint8_t* cells,
                    BlockPattern* previous);

    int m_nWidth;
    int m_nHeight;
    int m_nShares;
    BlockShape m_block;
    int m_nSubpixels;
    bool m_bWindows;  // leak tests over 2 x 2 windows of pixels
    std::unique_ptr<CSmallBlockTally> m_pSmallTally;  // where it fits; otherwise the row by row tallies
    std::vector<CBlockPatternReader> m_readers;
    std::vector<std::vector<BlockPattern>> m_patterns;       // per share, this secret row
    std::vector<std::vector<BlockPattern>> m_patternsAbove;  // per share, the row above (windows)
    std::vector<const BlockPattern*> m_rowPointers;          // m_patterns' rows, for the pixel loops
    std::vector<const BlockPattern*> m_subsetRows;
    std::vector<BlockPattern> m_stackedRow;
    std::vector<StackLeakTest> m_leakTests;

    CDarknessHistogram m_frameHistogram;
    CDarknessHistogram m_streamHistogram;
    StackedCells m_cells;                      // this frame's blocks; the previous one's until overwritten
    std::vector<BlockPattern> m_previousStack;  // the previous frame's stacked blocks
    std::uint64_t m_nFrames = 0;
    std::uint64_t m_nFrameChanged = 0, m_nFrameCompared = 0;
    std::uint64_t m_nChanged = 0, m_nCompared = 0;
    double m_dSquaredErrors = 0;
    std::uint64_t m_nErrorPixels = 0;
    double m_dSimilaritySum = 0;
    std::uint64_t m_nSimilarFrames = 0;
};
