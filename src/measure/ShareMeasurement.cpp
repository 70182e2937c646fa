// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ShareMeasurement.h"

#include <algorithm>
#include <bit>
#include <numeric>

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

[[gnu::target_clones("popcnt", "default")]] std::uint64_t BlackOf(const BlockPattern* pattern, int words)
{
    std::uint64_t black = 0;
    for (int w = 0; w < words; ++w)
        black += static_cast<std::uint64_t>(std::popcount(pattern[w]));
    return black;
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
    const auto width = static_cast<std::size_t>(m_nWidth);
    const std::size_t pixels = width * static_cast<std::size_t>(m_nHeight);
    const std::size_t rowWords = width * static_cast<std::size_t>(m_nWords);
    if (CSmallBlockTally::Fits(m_block, m_nShares)) {
        m_pSmallTally = std::make_unique<CSmallBlockTally>(m_nWidth, m_nHeight, m_block, m_nShares);
    } else {
        for (int s = 0; s < m_nShares; ++s) {
            m_readers.emplace_back(m_block, m_nWidth);
            m_patterns.emplace_back(rowWords);
            m_patternsAbove.emplace_back(m_bWindows ? rowWords : 0);
            m_sharePrevious.emplace_back(pixels * static_cast<std::size_t>(m_nWords));
        }
        m_previousStack.assign(pixels * static_cast<std::size_t>(m_nWords), 0);
        m_previousWhite.assign(pixels, 0);
        m_bKeyed = !m_bWindows && m_nShares <= 8 && 1 + m_nShares * m_nSubpixels <= 63;
    }
    m_rowPointers.resize(m_patterns.size());
    m_stackedRow.resize(rowWords);
    m_subsetStack.resize(rowWords);
    AddLeakTests(settings.subsetSize);
    if (settings.temporal)
        m_pTemporal = std::make_unique<CTemporalTally>(m_nSubpixels, m_nWords, m_nShares);
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
    auto windowOf = [&](int s, int x) {
        const auto& above = m_patternsAbove[static_cast<std::size_t>(s)];
        const auto& row = m_patterns[static_cast<std::size_t>(s)];
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

// Each share's block against its block of the previous frame, by whether the secret pixel changed.
void CShareMeasurement::CountFrameChanges(const BYTE* secretRow, std::size_t rowStart)
{
    const auto words = static_cast<std::size_t>(m_nWords);
    std::uint8_t* wasWhite = m_previousWhite.data() + rowStart;
    m_secretChanged.resize(static_cast<std::size_t>(m_nWidth));
    for (int x = 0; x < m_nWidth; ++x) {
        m_secretChanged[static_cast<std::size_t>(x)] = wasWhite[x] != (secretRow[x] != 0);
        wasWhite[x] = secretRow[x] != 0;
    }
    const bool comparing = m_nFrames > 0;
    BlockPattern change[kMaxBlockSubpixels / 64 + 1];
    for (SharesLeakTest& leak : m_leakTests) {
        if (leak.view != LeakView::AcrossFrames)
            continue;
        const auto s = static_cast<std::size_t>(leak.shares.front());
        const BlockPattern* now = m_rowPointers[s];
        BlockPattern* before = m_sharePrevious[s].data() + rowStart * words;
        if (comparing && words == 1) {
            for (int x = 0; x < m_nWidth; ++x) {
                change[0] = now[x] ^ before[x];
                leak.test.Add(m_secretChanged[static_cast<std::size_t>(x)], leak.test.Category(change, 1));
            }
        } else if (comparing) {
            for (int x = 0; x < m_nWidth; ++x) {
                const std::size_t at = static_cast<std::size_t>(x) * words;
                for (std::size_t w = 0; w < words; ++w)
                    change[w] = now[at + w] ^ before[at + w];
                leak.test.Add(m_secretChanged[static_cast<std::size_t>(x)], leak.test.Category(change, m_nWords));
            }
        }
        std::copy(now, now + static_cast<std::size_t>(m_nWidth) * words, before);
    }
}

// The blocks' leak tests (not the windows') and the temporal tally of one row.
void CShareMeasurement::TestRow(const BYTE* secretRow)
{
    if (m_bKeyed)
        return KeyRow(secretRow);
    const auto words = static_cast<std::size_t>(m_nWords);
    for (SharesLeakTest& leak : m_leakTests) {
        if (leak.view == LeakView::AcrossFrames || (m_bWindows && leak.view != LeakView::Alone &&
                                                    leak.view != LeakView::Stacked))
            continue;
        const bool darkness = leak.test.GetCategories() == LeakCategories::Patterns && leak.view != LeakView::Joint;
        const BlockPattern* blocks = m_rowPointers[static_cast<std::size_t>(leak.shares.front())];
        if (leak.view == LeakView::Stacked) {
            m_parts.clear();
            for (const int s : leak.shares)
                m_parts.push_back(m_rowPointers[static_cast<std::size_t>(s)]);
            StackRow(m_parts, m_subsetStack.data());
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
                    m_parts[i] = m_rowPointers[static_cast<std::size_t>(leak.shares[i])] + at;
                leak.test.Add(black, leak.test.Category(m_parts.data(), m_nWords));
            } else {
                leak.test.Add(black, leak.test.Category(blocks + at, m_nWords));
            }
        }
    }
    if (m_pTemporal) {
        m_parts.resize(m_rowPointers.size());
        for (int x = 0; x < m_nWidth; ++x) {
            for (std::size_t s = 0; s < m_rowPointers.size(); ++s)
                m_parts[s] = m_rowPointers[s] + static_cast<std::size_t>(x) * words;
            m_pTemporal->AddBlock(secretRow[x] == 0, m_parts.data());
        }
    }
}

// The row's pixels counted by kind: their colour and every share's block.
void CShareMeasurement::KeyRow(const BYTE* secretRow)
{
    const auto bits = static_cast<unsigned>(m_nSubpixels);
    m_rowKeys.resize(static_cast<std::size_t>(m_nWidth));
    for (int x = 0; x < m_nWidth; ++x)
        m_rowKeys[static_cast<std::size_t>(x)] = secretRow[x] == 0;
    for (std::size_t s = 0; s < m_rowPointers.size(); ++s)
        for (int x = 0; x < m_nWidth; ++x)
            m_rowKeys[static_cast<std::size_t>(x)] |= m_rowPointers[s][x] << (1 + s * bits);
    // Slots asked for a few pixels ahead: the table is larger than the fastest caches.
    constexpr std::size_t kAhead = 8;
    for (std::size_t x = 0; x < m_rowKeys.size(); ++x) {
        if (x + kAhead < m_rowKeys.size())
            m_kinds.Prefetch(m_rowKeys[x + kAhead]);
        m_kinds.Add(m_rowKeys[x]);
    }
}

void CShareMeasurement::TallyKeyedKinds()
{
    const auto bits = static_cast<unsigned>(m_nSubpixels);
    const BlockPattern mask = (BlockPattern{1} << bits) - 1;
    BlockPattern shares[8];
    m_kinds.ForEach([&](std::uint64_t key, std::uint64_t count) {
        for (int s = 0; s < m_nShares; ++s)
            shares[s] = key >> (1 + static_cast<unsigned>(s) * bits) & mask;
        AddKind(key & 1, shares, count);
    });
    m_kinds.Clear();
}

void CShareMeasurement::MeasureRow(int y, const BYTE* secretRow, const BYTE* rowAbove)
{
    const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth);
    const auto words = static_cast<std::size_t>(m_nWords);
    BlockPattern* stacked = m_stackedRow.data();
    StackRow(m_rowPointers, stacked);
    if (m_nFrames == 0)
        for (int x = 0; x < m_nWidth; ++x)
            NoteUsedCells(stacked + static_cast<std::size_t>(x) * words);
    std::uint8_t* cells = m_cells.cells.data() + rowStart;
    BlockPattern* previous = m_previousStack.data() + rowStart * words;
    if (m_nFrames > 0)
        CountCrawl(secretRow, stacked, cells, previous);
    else
        std::copy(stacked, stacked + static_cast<std::size_t>(m_nWidth) * words, previous);
    m_frameHistogram.AddRow(secretRow, stacked, m_nWidth, m_nWords, cells);
    for (int x = 0; x < m_nWidth; ++x)
        cells[x] |= secretRow[x] == 0 ? 0 : kSecretWhiteBit;

    TestRow(secretRow);
    CountFrameChanges(secretRow, rowStart);
    if (m_bWindows && (y & 1))
        CountWindows(secretRow, rowAbove);
}

void CShareMeasurement::StackRow(const std::vector<const BlockPattern*>& rows, BlockPattern* stacked) const
{
    const std::size_t count = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nWords);
    std::copy(rows.front(), rows.front() + count, stacked);
    for (std::size_t s = 1; s < rows.size(); ++s)
        for (std::size_t i = 0; i < count; ++i)
            stacked[i] |= rows[s][i];
}

// Before the row's cells are overwritten: they still hold the previous frame's colours.
[[gnu::target_clones("popcnt", "default")]] void CShareMeasurement::CountCrawl(const BYTE* secretRow,
                                                                             const BlockPattern* stacked,
                                                                             const std::uint8_t* cells,
                                                                             BlockPattern* previous)
{
    const auto words = static_cast<std::size_t>(m_nWords);
    std::uint64_t changed = 0;
    std::uint64_t compared = 0;
    for (int x = 0; x < m_nWidth; ++x, stacked += words, previous += words) {
        const bool wasWhite = cells[x] & kSecretWhiteBit;
        if (wasWhite == (secretRow[x] != 0)) {
            for (std::size_t w = 0; w < words; ++w)
                changed += static_cast<std::uint64_t>(std::popcount(previous[w] ^ stacked[w]));
            ++compared;
        }
        std::copy(stacked, stacked + words, previous);
    }
    m_nFrameChanged += changed;
    m_nFrameCompared += compared * static_cast<std::uint64_t>(m_nSubpixels);
}

// `count` pixels of one kind: the leak tests but those across frames, and what a viewer sees in turn.
[[gnu::target_clones("popcnt", "default")]] void CShareMeasurement::AddKind(bool secretBlack,
                                                                          const BlockPattern* shares,
                                                                          std::uint64_t count)
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
            leak.test.AddDarkness(secretBlack, count * static_cast<std::uint64_t>(std::popcount(pattern)),
                                  count * static_cast<std::uint64_t>(m_nSubpixels));
    }
    if (m_pTemporal) {
        for (int s = 0; s < m_nShares; ++s)
            parts[s] = &shares[s];
        m_pTemporal->AddBlock(secretBlack, parts, count);
    }
}

[[gnu::target_clones("popcnt", "default")]] void CShareMeasurement::TallyKinds()
{
    const bool comparing = m_nFrames > 0;
    m_pSmallTally->ForEachKind([&](const PixelKind& kind, std::uint64_t count) {
        BlockPattern stacked = 0;
        for (int s = 0; s < m_nShares; ++s)
            stacked |= kind.shares[s];
        if (!comparing)
            NoteUsedCells(&stacked);
        m_frameHistogram.Add(kind.secretBlack, std::popcount(stacked), count);
        AddKind(kind.secretBlack, kind.shares, count);
        if (comparing && kind.previousWhite != kind.secretBlack) {
            m_nFrameChanged += count * static_cast<std::uint64_t>(std::popcount(kind.previousStack ^ stacked));
            m_nFrameCompared += count * static_cast<std::uint64_t>(m_nSubpixels);
        }
    });
    m_pSmallTally->ForEachChange([&](int share, bool secretChanged, BlockPattern change, std::uint64_t count) {
        for (SharesLeakTest& leak : m_leakTests)
            if (leak.view == LeakView::AcrossFrames && leak.shares.front() == share)
                leak.test.Add(secretChanged, leak.test.Category(&change, 1), count);
    });
}

void CShareMeasurement::MeasureRows(const BYTE* secret, std::size_t secretStride,
                                    const std::vector<const BYTE*>& shares, std::size_t shareStride)
{
    for (int y = 0; y < m_nHeight; ++y) {
        if (m_bWindows)
            m_patternsAbove.swap(m_patterns);
        for (std::size_t s = 0; s < m_readers.size(); ++s) {
            m_readers[s].Read(shares[s], shareStride, y, m_patterns[s].data());
            m_rowPointers[s] = m_patterns[s].data();
        }
        const BYTE* row = secret + static_cast<std::size_t>(y) * secretStride;
        MeasureRow(y, row, y > 0 ? row - secretStride : nullptr);
    }
}

FrameFigures CShareMeasurement::MeasureFrame(const BYTE* secret, std::size_t secretStride,
                                             const std::vector<const BYTE*>& shares, std::size_t shareStride)
{
    m_frameHistogram.Reset();
    m_nFrameChanged = m_nFrameCompared = 0;
    CTemporalTally frameTemporal = m_pTemporal ? *m_pTemporal : CTemporalTally(1, 1, 1);
    if (m_pTemporal)
        m_pTemporal->Reset();
    if (m_pSmallTally) {
        m_pSmallTally->CountFrame(secret, secretStride, shares, shareStride, m_cells);
        TallyKinds();
    } else {
        MeasureRows(secret, secretStride, shares, shareStride);
        if (m_bKeyed)
            TallyKeyedKinds();
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
