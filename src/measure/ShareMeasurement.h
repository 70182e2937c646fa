// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measures shares against their secret a frame at a time: each frame's stacked blocks (black
// wins) give the contrast figures and SSIM, consecutive frames how much the reveal crawls, and
// leak tests look at every share alone, at every chosen number of shares together (jointly and
// stacked) and at every share across frames. Holds a few frames' worth of working memory,
// whatever the length of the stream. Figures and verdicts are values: nothing is printed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/KindCounts.h"
#include "measure/LeakTest.h"
#include "measure/RevealContrast.h"
#include "measure/RevealSimilarity.h"
#include "measure/RowBand.h"
#include "measure/SchemeSubpixels.h"
#include "measure/SmallBlockTally.h"
#include "measure/TemporalFigures.h"

struct MeasureSettings {
    int secretWidth = 0;
    int secretHeight = 0;
    BlockShape block;
    int shareCount = 1;
    // Above 1: every subset of that many shares is tested jointly and stacked too.
    int subsetSize = 1;
    // m, the subpixels that carry the scheme; nothing: found from the catalogue and the first frame.
    std::optional<int> schemeSubpixels;
    // What a viewer sees who is shown the shares one after another and takes them in together.
    bool temporal = false;
};

struct FrameFigures {
    ContrastFigures contrast;
    std::optional<double> ssim;
    std::optional<double> psnr;
    // Share of stacked subpixels that changed since the previous frame where the secret pixel
    // kept its colour; nothing for the first frame or when every pixel changed colour.
    std::optional<double> crawl;
    std::optional<TemporalFigures> temporal;
};

// What a leak test looked at (shares from 0) and what it counted.
struct SharesLeakTest {
    LeakView view;
    std::vector<int> shares;
    CLeakTest test;
};

class CShareMeasurement {
public:
    explicit CShareMeasurement(const MeasureSettings& settings);
    // The shares' figures with leak tests of every subset of `subsetSize` shares.
    CShareMeasurement(int secretWidth, int secretHeight, BlockShape block, int shareCount, int subsetSize);

    // One frame: the secret's frame (rows `secretStride` apart) and one frame of each share (rows
    // `shareStride` apart); only 0 is black.
    FrameFigures MeasureFrame(const BYTE* secret, std::size_t secretStride, const std::vector<const BYTE*>& shares,
                              std::size_t shareStride);
    // Whether MeasurePackedFrame may be called: the shares' rows can be packed ahead as they are
    // read, rather than held a frame of bytes each. The same for any measurement of shares of
    // these blocks, known before one is made.
    bool TakesPackedShares() const { return !m_pSmallTally; }
    static bool TakesPackedShares(BlockShape block, int shareCount) { return !CSmallBlockTally::Fits(block, shareCount); }
    // One frame as MeasureFrame, each share's as CBlockPatternReader::PackRows leaves it.
    FrameFigures MeasurePackedFrame(const BYTE* secret, std::size_t secretStride,
                                    const std::vector<const std::uint64_t*>& packedShares);

    // The frames so far as one: contrast over all their pixels, the mean SSIM of the frames, PSNR
    // of all their pixels (each frame made grey by its own darknesses), crawl of all frame pairs.
    FrameFigures StreamFigures() const;
    // Kinds of pixel counted since the tests were last looked at are tallied into them first.
    const std::vector<SharesLeakTest>& GetLeakTests() const;
    // Whether a test's p-value says it leaks, at the threshold of this many tests.
    bool Leaks(const SharesLeakTest& test) const;
    double LeakPValueThreshold() const { return LeakThreshold(m_leakTests.size()); }
    BlockShape GetBlock() const { return m_block; }
    // m, once a frame has been measured (or as given).
    const SchemeSubpixels& GetSchemeSubpixels() const { return m_schemeSubpixels; }

private:
    FrameFigures Measure(const BYTE* secret, std::size_t secretStride, const std::vector<const BYTE*>* shares,
                         std::size_t shareStride, const std::vector<const std::uint64_t*>* packedShares);
    void AddLeakTests(int subsetSize);
    void TallyKinds();
    void SeeKindsInTurn(const CKindCounts& kinds);
    void DecodeKind(std::uint64_t key, BlockPattern* shares, const BlockPattern** parts) const;
    void AddKindToTests(bool secretBlack, const BlockPattern* shares, std::uint64_t count) const;
    void MeasureRows(const BandFrame& frame);
    void MeasureBands(const BandFrame& frame);
    void MergeBands();
    void TallyKeptKindsBeyondAFrame();
    // The kinds the bands kept, into the tests; the bands then keep none.
    void TestKeptKinds() const;
    void TestRow(const BYTE* secretRow);
    void CountWindows(const BYTE* secretRow, const BYTE* rowAbove);
    void NoteUsedCells(const BlockPattern* pattern);
    void DecideSchemeSubpixels();

    int m_nWidth;
    int m_nHeight;
    int m_nShares;
    BlockShape m_block;
    int m_nSubpixels;
    int m_nWords;     // of a block's pattern
    bool m_bWindows;  // leak tests over 2 x 2 windows of pixels
    bool m_bSchemeSubpixelsGiven;
    SchemeSubpixels m_schemeSubpixels;
    std::vector<BlockPattern> m_usedCells;  // cells black in any share of the first frame
    std::unique_ptr<CSmallBlockTally> m_pSmallTally;  // where it fits; otherwise the row by row tallies
    // Row by row: bands of rows side by side where the leak tests count kinds of pixel (all
    // shares' blocks in a key), otherwise one band whose rows every test then looks at. Sound
    // shares make the same few kinds in every frame: the bands keep them over the frames, and they
    // are tallied into the tests once, when the tests are looked at.
    bool m_bKeyed = false;
    std::vector<CRowBand> m_bands;
    PixelHistory m_history;
    std::vector<const BlockPattern*> m_parts;
    std::vector<BlockPattern> m_subsetStack;
    mutable std::vector<SharesLeakTest> m_leakTests;
    std::unique_ptr<CTemporalTally> m_pTemporal;

    CDarknessHistogram m_frameHistogram;
    CDarknessHistogram m_streamHistogram;
    StackedCells m_cells;                      // this frame's blocks; the previous one's until overwritten
    std::uint64_t m_nFrames = 0;
    std::uint64_t m_nFrameChanged = 0, m_nFrameCompared = 0;
    std::uint64_t m_nChanged = 0, m_nCompared = 0;
    double m_dSquaredErrors = 0;
    std::uint64_t m_nErrorPixels = 0;
    double m_dSimilaritySum = 0;
    std::uint64_t m_nSimilarFrames = 0;
};
