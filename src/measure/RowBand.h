// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A band of a frame's secret rows measured on its own: every share's blocks read row by row,
// stacked into a darkness histogram and the frame's cells, compared with the previous frame
// (crawl, and each share's changed subpixels for its across-frame test), and, where a pixel's
// colour and all its shares' blocks fit one key, counted by kind of pixel. Bands of one frame
// touch only their own rows of the cells and of the pixel history, so they can run side by side,
// each taking whichever rows come to it; their tallies are merged once the frame is done.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/KindCounts.h"
#include "measure/LeakTest.h"
#include "measure/PixelKeys.h"
#include "measure/RevealContrast.h"
#include "measure/RevealSimilarity.h"

// What the previous frame left, per secret pixel (`words` words a block).
struct PixelHistory {
    std::vector<BlockPattern> stacked;
    std::vector<std::vector<BlockPattern>> shares;  // per share
    // Instead of the above where pixels are counted by kind; left unset until the first frame's
    // bands write them, so that its pages are first touched side by side.
    std::unique_ptr<std::uint64_t[]> keys;
};

// The frame the bands read (only 0 is black) and whether one came before it. The shares come as
// bytes, or where `packedShares` is given as rows packed ahead (CBlockPatternReader::PackRows).
struct BandFrame {
    const BYTE* secret;
    std::size_t secretStride;
    const std::vector<const BYTE*>* shares;
    std::size_t shareStride;
    bool comparing;
    const std::vector<const std::uint64_t*>* packedShares = nullptr;
};

struct RowBandSettings {
    int secretWidth;
    BlockShape block;
    int shareCount;
    bool keepRowAbove;  // the previous row's patterns stay readable (windows of 2 x 2 pixels)
    bool keyed;         // counts pixels by kind: 1 + shares x subpixels bits must fit 63
};

class CRowBand {
public:
    // `acrossFrames`: each share's test of its changes from a frame to the next, counted afresh here.
    CRowBand(const RowBandSettings& settings, const std::vector<CLeakTest>& acrossFrames);

    // Reads and tallies secret row y; the history and the cells of that row become this frame's.
    void MeasureRow(int y, const BandFrame& frame, PixelHistory& history, StackedCells& cells);
    // Rows first to end - 1, in turn.
    void MeasureRows(int first, int end, const BandFrame& frame, PixelHistory& history, StackedCells& cells);
    // Once the band has measured all its rows of the frame: its tallies are then complete.
    void FinishFrame();

    // The last row's patterns per share (x * words + w), and the row's before it.
    const std::vector<const BlockPattern*>& Patterns() const { return m_rowPointers; }
    const BlockPattern* PatternsAbove(int share) const { return m_patternsAbove[static_cast<std::size_t>(share)].data(); }

    // The tallies since the last ResetFrame.
    const CDarknessHistogram& Histogram() const { return m_histogram; }
    std::uint64_t CrawlChanged() const { return m_nCrawlChanged; }
    std::uint64_t CrawlCompared() const { return m_nCrawlCompared; }  // blocks
    const std::vector<BlockPattern>& UsedCells() const { return m_usedCells; }  // of the first frame
    const CLeakTest& AcrossFrames(int share) const { return m_acrossFrames[static_cast<std::size_t>(share)]; }
    // This frame's kinds of pixel (keyed bands), and those of every frame since the leak tests
    // last took them (and emptied them).
    const CKindCounts& Kinds() const { return m_kinds; }
    CKindCounts& KeptKinds() const { return m_keptKinds; }
    void ResetFrame();

private:
    void ReadPatterns(int y, const BandFrame& frame);
    void PackShareRows(std::size_t share, int y, const BandFrame& frame);
    void KeyPatterns(int y, const BandFrame& frame, const BYTE* secretRow, std::uint8_t* cells);
    void NoteSecretChanges(const BYTE* secretRow, const std::uint8_t* cells);
    void CountCrawl(const BlockPattern* previous);
    void CountFrameChanges(PixelHistory& history, std::size_t rowStart);
    PixelKeyLayout KeyLayout() const { return {static_cast<std::size_t>(m_nWidth), m_readers.size(), m_nBits}; }
    void CountKeys(std::uint64_t* previousKeys, bool comparing);
    void CountChanges(const PixelKeyLayout& layout);
    void FinishKinds();
    void FlushChanges();

    int m_nWidth;
    int m_nWords;  // of a block's pattern
    bool m_bKeepAbove;
    bool m_bKeyed;
    unsigned m_nBits;  // of a block's pattern, in a key
    std::vector<CBlockPatternReader> m_readers;
    std::vector<std::vector<BlockPattern>> m_patterns;       // per share, this row
    std::vector<std::vector<BlockPattern>> m_patternsAbove;  // per share, the row above
    std::vector<const BlockPattern*> m_rowPointers;
    std::vector<BlockPattern> m_stacked;
    std::vector<std::uint8_t> m_secretChanged;  // this row's pixels that changed colour
    std::vector<std::uint64_t> m_rowKeys;
    std::vector<std::uint64_t> m_differences;  // this row's keys against the previous frame's
    std::vector<BlockPattern> m_scratch;
    std::vector<std::uint32_t> m_changeRows;  // each share's changes as rows of its table, a row apart
    // Keyed, where change patterns are rows: per share, by secret changed, by changed subpixels.
    std::vector<std::uint32_t> m_changeCounts;
    std::uint64_t m_nUncountedChanges = 0;
    static constexpr std::uint64_t kChangesBeforeFlush = std::uint64_t{1} << 31;

    CDarknessHistogram m_histogram;
    std::uint64_t m_nCrawlChanged = 0, m_nCrawlCompared = 0;
    std::vector<BlockPattern> m_usedCells;
    std::vector<CLeakTest> m_acrossFrames;
    CKindCounts m_kinds;  // this frame's counts; the keys of earlier frames too, up to:
    static constexpr std::size_t kKindsKeptOverFrames = std::size_t{1} << 16;
    mutable CKindCounts m_keptKinds;
};
