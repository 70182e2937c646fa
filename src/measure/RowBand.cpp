// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/RowBand.h"

#include <algorithm>
#include <bit>


namespace {
// Blocks of `words` words that changed from `previous` where the secret pixel kept its colour.
// Cloned as a free function: clang takes clones only on a function's first declaration, and a
// member's is in the header.
[[gnu::target_clones("popcnt", "default")]] CrawlCounts CountStackChanges(const BlockPattern* stacked,
                                                                         const BlockPattern* previous,
                                                                         const std::uint8_t* secretChanged, int width,
                                                                         int words)
{
    const auto perBlock = static_cast<std::size_t>(words);
    CrawlCounts crawl;
    for (int x = 0; x < width; ++x, stacked += perBlock, previous += perBlock) {
        if (secretChanged[x])
            continue;
        for (std::size_t w = 0; w < perBlock; ++w)
            crawl.changed += static_cast<std::uint64_t>(std::popcount(previous[w] ^ stacked[w]));
        ++crawl.compared;
    }
    return crawl;
}
}  // namespace

CRowBand::CRowBand(const RowBandSettings& settings, const std::vector<CLeakTest>& acrossFrames)
    : m_nWidth(settings.secretWidth), m_nWords(settings.block.Words()), m_bKeepAbove(settings.keepRowAbove),
      m_bKeyed(settings.keyed), m_nBits(static_cast<unsigned>(settings.block.Subpixels())),
      m_histogram(settings.block.Subpixels()), m_usedCells(static_cast<std::size_t>(m_nWords)),
      m_acrossFrames(acrossFrames)
{
    const auto width = static_cast<std::size_t>(m_nWidth);
    const std::size_t rowWords = width * static_cast<std::size_t>(m_nWords);
    for (int s = 0; s < settings.shareCount; ++s) {
        m_readers.emplace_back(settings.block, m_nWidth);
        m_patterns.emplace_back(rowWords);
        m_patternsAbove.emplace_back(m_bKeepAbove ? rowWords : 0);
    }
    m_rowPointers.resize(m_patterns.size());
    m_stacked.resize(rowWords);
    m_secretChanged.resize(width);
    if (m_bKeyed) {
        m_rowKeys.resize(width);
        m_differences.resize(width);
        m_scratch.resize(width);
        if (!m_acrossFrames.empty() && m_acrossFrames.front().RowIsPattern()) {
            m_changeRows.resize(width * m_acrossFrames.size());
            m_changeCounts.resize(m_acrossFrames.size() * (std::size_t{2} << m_nBits));
        }
    }
    for (CLeakTest& test : m_acrossFrames)
        test.Reset();
}

void CRowBand::ResetFrame()
{
    m_histogram.Reset();
    m_nCrawlChanged = m_nCrawlCompared = 0;
    for (CLeakTest& test : m_acrossFrames)
        test.Reset();
    // Sound shares make the same few kinds in every frame: their keys stay. Noise makes new ones
    // frame after frame, which would fill the table.
    if (m_kinds.Size() > kKindsKeptOverFrames)
        m_kinds.Clear();
    else
        m_kinds.ZeroCounts();
}

// Stacked subpixels that changed where the secret pixel kept its colour.
void CRowBand::CountCrawl(const BlockPattern* previous)
{
    const CrawlCounts crawl = CountStackChanges(m_stacked.data(), previous, m_secretChanged.data(), m_nWidth, m_nWords);
    m_nCrawlChanged += crawl.changed;
    m_nCrawlCompared += crawl.compared;
}


// Each share's block against the previous frame's, by whether the secret pixel changed colour.
void CRowBand::CountChanges(const PixelKeyLayout& layout)
{
    if (m_changeCounts.empty()) {
        const BlockPattern mask = (BlockPattern{1} << m_nBits) - 1;
        for (std::size_t s = 0; s < m_acrossFrames.size(); ++s) {
            CLeakTest& test = m_acrossFrames[s];
            const unsigned shift = 1 + static_cast<unsigned>(s) * m_nBits;
            for (const std::uint64_t difference : m_differences) {
                const BlockPattern change = difference >> shift & mask;
                test.Add(difference & 1, test.Category(&change, 1));
            }
        }
        return;
    }
    // Where the changes are the rows, in a table a share that fits the fastest cache; it goes to
    // the leak tests once the band's rows are done.
    const std::size_t perShare = std::size_t{2} << m_nBits;
    for (std::size_t s = 0; s < m_acrossFrames.size(); ++s) {
        std::uint32_t* table = m_changeCounts.data() + s * perShare;
        const std::uint32_t* rows = m_changeRows.data() + s * layout.width;
        for (std::size_t x = 0; x < layout.width; ++x)
            ++table[rows[x]];
    }
    m_nUncountedChanges += m_differences.size();
    if (m_nUncountedChanges > kChangesBeforeFlush)
        FlushChanges();
}

void CRowBand::FlushChanges()
{
    const std::size_t patterns = std::size_t{1} << m_nBits;
    for (std::size_t s = 0; s < m_acrossFrames.size(); ++s) {
        std::uint32_t* table = m_changeCounts.data() + s * 2 * patterns;
        for (int secretChanged = 0; secretChanged < 2; ++secretChanged) {
            std::uint64_t* rows = m_acrossFrames[s].Rows(secretChanged != 0);
            for (std::size_t i = 0; i < patterns; ++i) {
                rows[i] += table[i];
                table[i] = 0;
            }
            table += patterns;
        }
    }
    m_nUncountedChanges = 0;
}

void CRowBand::MeasureRows(int first, int end, const BandFrame& frame, PixelHistory& history, StackedCells& cells)
{
    for (int y = first; y < end; ++y)
        MeasureRow(y, frame, history, cells);
}

void CRowBand::FinishFrame()
{
    if (m_nUncountedChanges > 0)
        FlushChanges();
    if (m_bKeyed)
        FinishKinds();
}

// The frame's kinds: its darkness histogram, and kept for the leak tests. Done here, band by band
// side by side, rather than once the frame's bands are merged.
void CRowBand::FinishKinds()
{
    const BlockPattern mask = (BlockPattern{1} << m_nBits) - 1;
    m_kinds.ForEach([&](std::uint64_t key, std::uint64_t count) {
        m_keptKinds.Add(key, count);
        BlockPattern stacked = 0;
        for (std::size_t s = 0; s < m_readers.size(); ++s)
            stacked |= key >> (1 + s * m_nBits) & mask;
        m_histogram.Add(key & 1, std::popcount(stacked), count);
    });
}

void CRowBand::MeasureRow(int y, const BandFrame& frame, PixelHistory& history, StackedCells& cells)
{
    const auto words = static_cast<std::size_t>(m_nWords);
    const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth);
    const BYTE* secretRow = frame.secret + static_cast<std::size_t>(y) * frame.secretStride;
    std::uint8_t* rowCells = cells.cells.data() + rowStart;
    if (m_bKeyed) {
        KeyPatterns(y, frame, secretRow, rowCells);
    } else {
        ReadPatterns(y, frame);
        StackPatterns(m_rowPointers.data(), m_rowPointers.size(), m_stacked.size(), m_stacked.data());
    }
    if (!frame.comparing)
        for (std::size_t i = 0; i < m_stacked.size(); ++i)
            m_usedCells[i % words] |= m_stacked[i];
    if (m_bKeyed) {
        CountKeys(history.keys.get() + rowStart, frame.comparing);  // the histogram comes from the kinds
        return;
    }
    if (frame.comparing) {
        NoteSecretChanges(secretRow, rowCells);  // the cells still hold the previous frame's colours
        CountCrawl(history.stacked.data() + rowStart * words);
        CountFrameChanges(history, rowStart);
    }
    std::copy(m_stacked.begin(), m_stacked.end(), history.stacked.data() + rowStart * words);
    for (std::size_t s = 0; s < m_patterns.size(); ++s)
        std::copy(m_patterns[s].begin(), m_patterns[s].end(), history.shares[s].data() + rowStart * words);
    m_histogram.AddRow(secretRow, m_stacked.data(), m_nWidth, m_nWords, rowCells);
    for (int x = 0; x < m_nWidth; ++x)
        rowCells[x] |= secretRow[x] == 0 ? 0 : kSecretWhiteBit;
}

void CRowBand::ReadPatterns(int y, const BandFrame& frame)
{
    if (m_bKeepAbove)
        m_patternsAbove.swap(m_patterns);
    for (std::size_t s = 0; s < m_readers.size(); ++s) {
        PackShareRows(s, y, frame);
        m_readers[s].AssemblePacked(m_patterns[s].data());
        m_rowPointers[s] = m_patterns[s].data();
    }
}

void CRowBand::PackShareRows(std::size_t share, int y, const BandFrame& frame)
{
    if (frame.packedShares)
        m_readers[share].UsePacked((*frame.packedShares)[share], y);
    else
        m_readers[share].Pack((*frame.shares)[share], frame.shareStride, y);
}

// Every share's blocks straight into the pixels' keys and stack.
void CRowBand::KeyPatterns(int y, const BandFrame& frame, const BYTE* secretRow, std::uint8_t* cells)
{
    for (std::size_t s = 0; s < m_readers.size(); ++s)
        PackShareRows(s, y, frame);
    for (int x = 0; x < m_nWidth; x += 64)  // the next secret row, as the shares' (UsePacked)
        __builtin_prefetch(secretRow + frame.secretStride + x);
    if (CBlockPatternReader::AssembleKeys(m_readers, secretRow, m_rowKeys.data(), m_stacked.data(), cells))
        return;
    const PixelKeyLayout layout = KeyLayout();
    StartPixelKeys(layout, secretRow, m_rowKeys.data(), m_stacked.data());
    for (std::size_t s = 0; s < m_readers.size(); ++s)
        m_readers[s].AddPackedToKeys(1 + static_cast<unsigned>(s) * m_nBits, m_rowKeys.data(), m_stacked.data());
    CountCells(layout, secretRow, m_stacked.data(), cells);
}

void CRowBand::NoteSecretChanges(const BYTE* secretRow, const std::uint8_t* cells)
{
    for (int x = 0; x < m_nWidth; ++x)
        m_secretChanged[static_cast<std::size_t>(x)] = ((cells[x] & kSecretWhiteBit) != 0) != (secretRow[x] != 0);
}

// Each share's block against its block of the previous frame, by whether the secret pixel changed.
void CRowBand::CountFrameChanges(PixelHistory& history, std::size_t rowStart)
{
    const auto words = static_cast<std::size_t>(m_nWords);
    BlockPattern change[kMaxBlockSubpixels / 64 + 1];
    for (std::size_t s = 0; s < m_patterns.size(); ++s) {
        CLeakTest& test = m_acrossFrames[s];
        const BlockPattern* now = m_patterns[s].data();
        const BlockPattern* before = history.shares[s].data() + rowStart * words;
        if (words == 1) {
            for (int x = 0; x < m_nWidth; ++x) {
                change[0] = now[x] ^ before[x];
                test.Add(m_secretChanged[static_cast<std::size_t>(x)], test.Category(change, 1));
            }
            continue;
        }
        for (int x = 0; x < m_nWidth; ++x) {
            const std::size_t at = static_cast<std::size_t>(x) * words;
            for (std::size_t w = 0; w < words; ++w)
                change[w] = now[at + w] ^ before[at + w];
            test.Add(m_secretChanged[static_cast<std::size_t>(x)], test.Category(change, m_nWords));
        }
    }
}

// The row's pixels counted by kind: their colour and every share's block. The previous frame's
// keys give the crawl and each share's changes.
void CRowBand::CountKeys(std::uint64_t* previousKeys, bool comparing)
{
    if (comparing) {
        const CrawlCounts crawl =
            CompareWithPrevious(KeyLayout(), m_rowKeys.data(), m_stacked.data(), previousKeys, m_differences.data(),
                                m_scratch.data(), m_changeRows.empty() ? nullptr : m_changeRows.data());
        m_nCrawlChanged += crawl.changed;
        m_nCrawlCompared += crawl.compared;
        CountChanges(KeyLayout());
    } else {
        std::copy(m_rowKeys.begin(), m_rowKeys.end(), previousKeys);
    }
    m_kinds.AddAll(m_rowKeys.data(), m_rowKeys.size());
}
