// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ShareMeasurement.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <numeric>
#include <thread>

namespace {
// Every choice of `size` indices out of 0..count-1, in lexicographic order.
std::vector<std::vector<int>> Combinations(int count, int size)
{
    std::vector<std::vector<int>> result;
    std::vector<int> pick(static_cast<std::size_t>(size));
    std::iota(pick.begin(), pick.end(), 0);
    while (size > 0 && size <= count) {
        result.push_back(pick);
        int i = size - 1;
        while (i >= 0 && pick[static_cast<std::size_t>(i)] == count - size + i)
            --i;
        if (i < 0)
            break;
        ++pick[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < size; ++j)
            pick[static_cast<std::size_t>(j)] = pick[static_cast<std::size_t>(j - 1)] + 1;
    }
    return result;
}

// Cloned as a free function: clang takes clones only on a function's first declaration, and a
// member's is in the header.
[[gnu::target_clones("popcnt", "default")]] std::uint64_t BlackOf(const BlockPattern* pattern, int words)
{
    std::uint64_t black = 0;
    for (int w = 0; w < words; ++w)
        black += static_cast<std::uint64_t>(std::popcount(pattern[w]));
    return black;
}

// Bands of rows measured side by side: one per processor, each of some rows at least.
std::size_t BandCount(int height)
{
    constexpr int kLeastRows = 8;
    const auto processors = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(static_cast<std::size_t>(height / kLeastRows), 1, processors);
}

// Window patterns count pixels: leak tests without blocks look at 2 x 2 windows.
constexpr int kWindowBits = 4;
// Patterns up to this many subpixels are tested as they are; larger ones by their count of black
// subpixels as well, which a hash of their patterns would spread too thin to see.
constexpr int kCountedAsWellBits = CLeakTest::kExactBits;
}  // namespace

CShareMeasurement::CShareMeasurement(int secretWidth, int secretHeight, BlockShape block, int shareCount,
                                     int subsetSize)
    : CShareMeasurement(MeasureSettings{secretWidth, secretHeight, block, shareCount, subsetSize, std::nullopt, false})
{
}

CShareMeasurement::CShareMeasurement(const MeasureSettings& settings)
    : m_nWidth(settings.secretWidth), m_nHeight(settings.secretHeight), m_nShares(settings.shareCount),
      m_block(settings.block), m_nSubpixels(settings.block.Subpixels()), m_nWords(settings.block.Words()),
      m_bWindows(settings.block.Subpixels() == 1), m_bSchemeSubpixelsGiven(settings.schemeSubpixels.has_value()),
      m_schemeSubpixels{settings.schemeSubpixels.value_or(m_nSubpixels), "as given"},
      m_usedCells(static_cast<std::size_t>(m_nWords)), m_frameHistogram(m_nSubpixels),
      m_streamHistogram(m_nSubpixels)
{
    const std::size_t pixels = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    const std::size_t rowWords = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nWords);
    if (CSmallBlockTally::Fits(m_block, m_nShares))
        m_pSmallTally = std::make_unique<CSmallBlockTally>(m_nWidth, m_nHeight, m_block, m_nShares);
    else
        m_bKeyed = !m_bWindows && m_nShares <= 8 && 1 + m_nShares * m_nSubpixels <= 63;
    m_subsetStack.resize(rowWords);
    AddLeakTests(settings.subsetSize);
    if (settings.temporal)
        m_pTemporal = std::make_unique<CTemporalTally>(m_nSubpixels, m_nWords, m_nShares);
    if (!m_pSmallTally) {
        std::vector<CLeakTest> acrossFrames;
        for (const SharesLeakTest& leak : m_leakTests)
            if (leak.view == LeakView::AcrossFrames)
                acrossFrames.push_back(leak.test);
        const RowBandSettings band{m_nWidth, m_block, m_nShares, m_bWindows, m_bKeyed};
        m_bands.assign(m_bKeyed ? BandCount(m_nHeight) : 1, CRowBand(band, acrossFrames));
        if (m_bKeyed) {
            m_history.keys = std::make_unique_for_overwrite<std::uint64_t[]>(pixels);
        } else {
            m_history.stacked.assign(pixels * static_cast<std::size_t>(m_nWords), 0);
            m_history.shares.assign(static_cast<std::size_t>(m_nShares), m_history.stacked);
        }
    }
    m_cells = {m_nWidth, m_nHeight, std::min(m_nSubpixels, kMaxCellCount), std::vector<std::uint8_t>(pixels)};
}

void CShareMeasurement::AddLeakTests(int subsetSize)
{
    const int partBits = m_bWindows ? kWindowBits : m_nSubpixels;
    const bool counted = m_nSubpixels > kCountedAsWellBits;
    for (int s = 0; s < m_nShares; ++s) {
        m_leakTests.push_back({LeakView::Alone, {s}, CLeakTest(LeakCategories::Patterns, partBits, 1)});
        if (counted)
            m_leakTests.push_back({LeakView::Alone, {s}, CLeakTest(LeakCategories::BlackCount, partBits, 1)});
    }
    if (subsetSize > 1) {
        for (auto& shares : Combinations(m_nShares, subsetSize)) {
            m_leakTests.push_back({LeakView::Joint, shares, CLeakTest(LeakCategories::Patterns, partBits, subsetSize)});
            m_leakTests.push_back({LeakView::Stacked, shares, CLeakTest(LeakCategories::Patterns, partBits, 1)});
            if (counted)
                m_leakTests.push_back({LeakView::Stacked, shares, CLeakTest(LeakCategories::BlackCount, partBits, 1)});
        }
    }
    for (int s = 0; s < m_nShares; ++s)
        m_leakTests.push_back({LeakView::AcrossFrames, {s}, CLeakTest(LeakCategories::Patterns, m_nSubpixels, 1)});
}

bool CShareMeasurement::Leaks(const SharesLeakTest& test) const
{
    const auto chi = test.test.Test();
    return chi && chi->pValue < LeakPValueThreshold();
}

void CShareMeasurement::NoteUsedCells(const BlockPattern* pattern)
{
    for (int w = 0; w < m_nWords; ++w)
        m_usedCells[static_cast<std::size_t>(w)] |= pattern[w];
}

void CShareMeasurement::DecideSchemeSubpixels()
{
    if (m_bSchemeSubpixelsGiven)
        return;
    int used = 0;
    for (int w = m_nWords - 1; w >= 0 && used == 0; --w)
        if (const BlockPattern word = m_usedCells[static_cast<std::size_t>(w)])
            used = 64 * w + 64 - std::countl_zero(word);
    m_schemeSubpixels = FindSchemeSubpixels(m_block, used);
}

void CShareMeasurement::CountWindows(const BYTE* secretRow, const BYTE* rowAbove)
{
    const CRowBand& band = m_bands.front();
    auto windowOf = [&](int s, int x) {
        const BlockPattern* above = band.PatternsAbove(s);
        const BlockPattern* row = band.Patterns()[static_cast<std::size_t>(s)];
        const auto i = static_cast<std::size_t>(x);
        return above[i] | above[i + 1] << 1 | row[i] << 2 | row[i + 1] << 3;
    };
    BlockPattern windows[8];
    const BlockPattern* parts[8];
    for (int x = 0; x + 1 < m_nWidth; x += 2) {
        const bool black = secretRow[x] == 0;
        if ((secretRow[x + 1] == 0) != black || (rowAbove[x] == 0) != black || (rowAbove[x + 1] == 0) != black)
            continue;
        for (SharesLeakTest& leak : m_leakTests) {
            if (leak.view == LeakView::AcrossFrames)
                continue;
            for (std::size_t i = 0; i < leak.shares.size(); ++i) {
                windows[i] = windowOf(leak.shares[i], x);
                parts[i] = &windows[i];
            }
            if (leak.view == LeakView::Stacked)
                for (std::size_t i = 1; i < leak.shares.size(); ++i)
                    windows[0] |= windows[i];
            leak.test.Add(black, leak.test.Category(parts, 1));
        }
    }
}

// The blocks' leak tests (not the windows') and the temporal tally of one row.
void CShareMeasurement::TestRow(const BYTE* secretRow)
{
    const std::vector<const BlockPattern*>& rows = m_bands.front().Patterns();
    const auto words = static_cast<std::size_t>(m_nWords);
    for (SharesLeakTest& leak : m_leakTests) {
        if (leak.view == LeakView::AcrossFrames || (m_bWindows && leak.view != LeakView::Alone &&
                                                    leak.view != LeakView::Stacked))
            continue;
        const bool darkness = leak.test.GetCategories() == LeakCategories::Patterns && leak.view != LeakView::Joint;
        const BlockPattern* blocks = rows[static_cast<std::size_t>(leak.shares.front())];
        if (leak.view == LeakView::Stacked) {
            m_parts.clear();
            for (const int s : leak.shares)
                m_parts.push_back(rows[static_cast<std::size_t>(s)]);
            StackPatterns(m_parts.data(), m_parts.size(), m_subsetStack.size(), m_subsetStack.data());
            blocks = m_subsetStack.data();
        }
        m_parts.resize(leak.shares.size());
        for (int x = 0; x < m_nWidth; ++x) {
            const bool black = secretRow[x] == 0;
            const std::size_t at = static_cast<std::size_t>(x) * words;
            if (darkness)
                leak.test.AddDarkness(black, BlackOf(blocks + at, m_nWords), static_cast<std::uint64_t>(m_nSubpixels));
            if (m_bWindows)
                continue;  // windows are counted two rows at a time
            if (leak.view == LeakView::Joint) {
                for (std::size_t i = 0; i < leak.shares.size(); ++i)
                    m_parts[i] = rows[static_cast<std::size_t>(leak.shares[i])] + at;
                leak.test.Add(black, leak.test.Category(m_parts.data(), m_nWords));
            } else {
                leak.test.Add(black, leak.test.Category(blocks + at, m_nWords));
            }
        }
    }
    if (m_pTemporal) {
        m_parts.resize(rows.size());
        for (int x = 0; x < m_nWidth; ++x) {
            for (std::size_t s = 0; s < rows.size(); ++s)
                m_parts[s] = rows[s] + static_cast<std::size_t>(x) * words;
            m_pTemporal->AddBlock(secretRow[x] == 0, m_parts.data());
        }
    }
}

// What a viewer sees in turn of a frame's kinds of pixel.
void CShareMeasurement::SeeKindsInTurn(const CKindCounts& kinds)
{
    BlockPattern shares[8];
    const BlockPattern* parts[8];
    kinds.ForEach([&](std::uint64_t key, std::uint64_t count) {
        DecodeKind(key, shares, parts);
        m_pTemporal->AddBlock(key & 1, parts, count);
    });
}

void CShareMeasurement::DecodeKind(std::uint64_t key, BlockPattern* shares, const BlockPattern** parts) const
{
    const auto bits = static_cast<unsigned>(m_nSubpixels);
    const BlockPattern mask = (BlockPattern{1} << bits) - 1;
    for (int s = 0; s < m_nShares; ++s) {
        shares[s] = key >> (1 + static_cast<unsigned>(s) * bits) & mask;
        parts[s] = &shares[s];
    }
}

// `count` pixels of one kind: the leak tests but those across frames.
void CShareMeasurement::AddKindToTests(bool secretBlack, const BlockPattern* shares, std::uint64_t count) const
{
    const BlockPattern* parts[8];
    for (SharesLeakTest& leak : m_leakTests) {
        if (leak.view == LeakView::AcrossFrames)
            continue;
        BlockPattern pattern = 0;
        for (std::size_t i = 0; i < leak.shares.size(); ++i) {
            parts[i] = &shares[leak.shares[i]];
            pattern |= shares[leak.shares[i]];
        }
        if (leak.view == LeakView::Joint) {
            leak.test.Add(secretBlack, leak.test.Category(parts, 1), count);
            continue;
        }
        leak.test.Add(secretBlack, leak.test.Category(&pattern, 1), count);
        if (leak.test.GetCategories() == LeakCategories::Patterns)
            leak.test.AddDarkness(secretBlack, count * BlackOf(&pattern, 1),
                                  count * static_cast<std::uint64_t>(m_nSubpixels));
    }
}

const std::vector<SharesLeakTest>& CShareMeasurement::GetLeakTests() const
{
    // The small tally's kinds went to the tests frame by frame.
    if (!m_bands.empty())
        TestKeptKinds();
    return m_leakTests;
}

void CShareMeasurement::TestKeptKinds() const
{
    // The bands' kinds gathered into the first's: bands keep much the same kinds, each then tested once.
    CKindCounts& kept = m_bands.front().KeptKinds();
    for (std::size_t b = 1; b < m_bands.size(); ++b) {
        CKindCounts& other = m_bands[b].KeptKinds();
        other.ForEach([&kept](std::uint64_t key, std::uint64_t count) { kept.Add(key, count); });
        other.Clear();
    }
    BlockPattern shares[8];
    const BlockPattern* parts[8];
    kept.ForEach([&](std::uint64_t key, std::uint64_t count) {
        DecodeKind(key, shares, parts);
        AddKindToTests(key & 1, shares, count);
    });
    kept.Clear();
}

void CShareMeasurement::TallyKinds()
{
    const bool comparing = m_nFrames > 0;
    m_pSmallTally->ForEachKind([&](const PixelKind& kind, std::uint64_t count) {
        BlockPattern stacked = 0;
        for (int s = 0; s < m_nShares; ++s)
            stacked |= kind.shares[s];
        if (!comparing)
            NoteUsedCells(&stacked);
        m_frameHistogram.Add(kind.secretBlack, static_cast<int>(BlackOf(&stacked, 1)), count);
        AddKindToTests(kind.secretBlack, kind.shares, count);
        if (m_pTemporal) {
            const BlockPattern* parts[8];
            for (int s = 0; s < m_nShares; ++s)
                parts[s] = &kind.shares[s];
            m_pTemporal->AddBlock(kind.secretBlack, parts, count);
        }
        if (comparing && kind.previousWhite != kind.secretBlack) {
            const BlockPattern changed = kind.previousStack ^ stacked;
            m_nFrameChanged += count * BlackOf(&changed, 1);
            m_nFrameCompared += count * static_cast<std::uint64_t>(m_nSubpixels);
        }
    });
    m_pSmallTally->ForEachChange([&](int share, bool secretChanged, BlockPattern change, std::uint64_t count) {
        for (SharesLeakTest& leak : m_leakTests)
            if (leak.view == LeakView::AcrossFrames && leak.shares.front() == share)
                leak.test.Add(secretChanged, leak.test.Category(&change, 1), count);
    });
}

// One band over all rows, every test looking at each row.
void CShareMeasurement::MeasureRows(const BandFrame& frame)
{
    CRowBand& band = m_bands.front();
    for (int y = 0; y < m_nHeight; ++y) {
        band.MeasureRow(y, frame, m_history, m_cells);
        const BYTE* row = frame.secret + static_cast<std::size_t>(y) * frame.secretStride;
        TestRow(row);
        if (m_bWindows && (y & 1))
            CountWindows(row, row - frame.secretStride);
    }
}

// Bands side by side, each on a thread of its own but the first, taking the rows a run at a time
// as they come to them: a thread that shares its processor (with the next frame's reading) takes
// fewer rows rather than holding up the others. What a band counts does not depend on its rows.
void CShareMeasurement::MeasureBands(const BandFrame& frame)
{
    constexpr int kRunRows = 16;
    std::atomic<int> nextRun{0};
    auto measure = [&](int b) {
        CRowBand& band = m_bands[static_cast<std::size_t>(b)];
        for (int first = nextRun.fetch_add(kRunRows); first < m_nHeight; first = nextRun.fetch_add(kRunRows))
            band.MeasureRows(first, std::min(first + kRunRows, m_nHeight), frame, m_history, m_cells);
        band.FinishFrame();
    };
    const auto bands = static_cast<int>(m_bands.size());
    std::vector<std::jthread> helpers;
    for (int b = 1; b < bands; ++b)
        helpers.emplace_back(measure, b);
    measure(0);
}

// Shares that make new kinds of pixel frame after frame (noise, leaks) would have the bands keep
// ever more of them: past a frame's worth they go to the tests at once, so that memory stays
// bounded however long the stream.
void CShareMeasurement::TallyKeptKindsBeyondAFrame()
{
    const std::size_t pixels = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    std::size_t kept = 0;
    for (const CRowBand& band : m_bands)
        kept += band.KeptKinds().Size();
    if (kept > pixels)
        TestKeptKinds();
}

void CShareMeasurement::MergeBands()
{
    std::size_t share = 0;
    for (SharesLeakTest& leak : m_leakTests)
        if (leak.view == LeakView::AcrossFrames) {
            for (const CRowBand& band : m_bands)
                leak.test.Merge(band.AcrossFrames(static_cast<int>(share)));
            ++share;
        }
    for (CRowBand& band : m_bands) {
        m_frameHistogram.Merge(band.Histogram());
        m_nFrameChanged += band.CrawlChanged();
        m_nFrameCompared += band.CrawlCompared() * static_cast<std::uint64_t>(m_nSubpixels);
        if (m_nFrames == 0)
            NoteUsedCells(band.UsedCells().data());
        if (m_pTemporal)
            SeeKindsInTurn(band.Kinds());
        band.ResetFrame();
    }
}

FrameFigures CShareMeasurement::MeasureFrame(const BYTE* secret, std::size_t secretStride,
                                             const std::vector<const BYTE*>& shares, std::size_t shareStride)
{
    return Measure(secret, secretStride, &shares, shareStride, nullptr);
}

FrameFigures CShareMeasurement::MeasurePackedFrame(const BYTE* secret, std::size_t secretStride,
                                                   const std::vector<const std::uint64_t*>& packedShares)
{
    return Measure(secret, secretStride, nullptr, 0, &packedShares);
}

FrameFigures CShareMeasurement::Measure(const BYTE* secret, std::size_t secretStride,
                                        const std::vector<const BYTE*>* shares, std::size_t shareStride,
                                        const std::vector<const std::uint64_t*>* packedShares)
{
    m_frameHistogram.Reset();
    m_nFrameChanged = m_nFrameCompared = 0;
    CTemporalTally frameTemporal = m_pTemporal ? *m_pTemporal : CTemporalTally(1, 1, 1);
    if (m_pTemporal)
        m_pTemporal->Reset();
    if (m_pSmallTally) {
        m_pSmallTally->CountFrame(secret, secretStride, *shares, shareStride, m_cells);
        TallyKinds();
    } else {
        const BandFrame frame{secret, secretStride, shares, shareStride, m_nFrames > 0, packedShares};
        if (m_bKeyed)
            MeasureBands(frame);
        else
            MeasureRows(frame);
        MergeBands();
        TallyKeptKindsBeyondAFrame();
    }
    if (m_nFrames == 0)
        DecideSchemeSubpixels();
    m_streamHistogram.Merge(m_frameHistogram);

    FrameFigures figures;
    if (m_pTemporal) {
        figures.temporal = m_pTemporal->Figures();
        frameTemporal.Merge(*m_pTemporal);
        *m_pTemporal = frameTemporal;  // the stream's tally again
    }
    // A frame of one colour takes the missing darkness from the frames so far.
    auto mapping = MappingOf(m_frameHistogram);
    if (!mapping)
        mapping = MappingOf(m_streamHistogram);
    figures.contrast = ComputeContrast(m_frameHistogram, mapping, m_schemeSubpixels.subpixels);
    figures.psnr = PeakSignalToNoise(figures.contrast.meanSquaredError);
    if (mapping) {
        figures.ssim = StructuralSimilarity(m_cells, *mapping);
        m_dSimilaritySum += *figures.ssim;
        ++m_nSimilarFrames;
        const auto pixels = static_cast<std::uint64_t>(m_nWidth) * static_cast<std::uint64_t>(m_nHeight);
        m_dSquaredErrors += *figures.contrast.meanSquaredError * static_cast<double>(pixels);
        m_nErrorPixels += pixels;
    }
    if (m_nFrameCompared > 0)
        figures.crawl = static_cast<double>(m_nFrameChanged) / static_cast<double>(m_nFrameCompared);
    m_nChanged += m_nFrameChanged;
    m_nCompared += m_nFrameCompared;
    ++m_nFrames;
    return figures;
}

FrameFigures CShareMeasurement::StreamFigures() const
{
    FrameFigures figures;
    figures.contrast = ComputeContrast(m_streamHistogram, std::nullopt, m_schemeSubpixels.subpixels);
    if (m_nErrorPixels > 0)
        figures.contrast.meanSquaredError = m_dSquaredErrors / static_cast<double>(m_nErrorPixels);
    figures.psnr = PeakSignalToNoise(figures.contrast.meanSquaredError);
    if (m_nSimilarFrames > 0)
        figures.ssim = m_dSimilaritySum / static_cast<double>(m_nSimilarFrames);
    if (m_nCompared > 0)
        figures.crawl = static_cast<double>(m_nChanged) / static_cast<double>(m_nCompared);
    if (m_pTemporal)
        figures.temporal = m_pTemporal->Figures();
    return figures;
}
