// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ShareMeasurement.h"

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
}  // namespace

CShareMeasurement::CShareMeasurement(int secretWidth, int secretHeight, BlockShape block, int shareCount, int stackSize)
    : m_nWidth(secretWidth), m_nHeight(secretHeight), m_nShares(shareCount), m_block(block), m_nSubpixels(block.Subpixels()),
      m_bWindows(block.Subpixels() == 1), m_frameHistogram(m_nSubpixels), m_streamHistogram(m_nSubpixels)
{
    const auto width = static_cast<std::size_t>(secretWidth);
    const std::size_t pixels = width * static_cast<std::size_t>(secretHeight);
    if (CSmallBlockTally::Fits(block, shareCount)) {
        m_pSmallTally = std::make_unique<CSmallBlockTally>(secretWidth, secretHeight, block, shareCount);
    } else {
        for (int s = 0; s < shareCount; ++s) {
            m_readers.emplace_back(block, secretWidth);
            m_patterns.emplace_back(width);
            m_patternsAbove.emplace_back(m_bWindows ? width : 0);
        }
        m_previousStack.assign(pixels, 0);
    }
    m_rowPointers.resize(m_patterns.size());
    m_stackedRow.resize(width);
    auto addTests = [&](int size) {
        for (auto& shares : Combinations(shareCount, size))
            m_leakTests.push_back({std::move(shares), CLeakTest(m_nSubpixels)});
    };
    addTests(1);
    if (stackSize > 1)
        addTests(stackSize);
    m_cells = {secretWidth, secretHeight, m_nSubpixels, std::vector<std::uint8_t>(pixels)};
}

BlockPattern CShareMeasurement::StackedAt(const std::vector<int>& shares, int x, bool above) const
{
    const auto& rows = above ? m_patternsAbove : m_patterns;
    BlockPattern stacked = 0;
    for (int s : shares)
        stacked |= rows[static_cast<std::size_t>(s)][static_cast<std::size_t>(x)];
    return stacked;
}

void CShareMeasurement::CountWindows(const BYTE* secretRow, const BYTE* rowAbove)
{
    for (int x = 0; x + 1 < m_nWidth; x += 2) {
        const bool black = secretRow[x] == 0;
        if ((secretRow[x + 1] == 0) != black || (rowAbove[x] == 0) != black || (rowAbove[x + 1] == 0) != black)
            continue;
        for (StackLeakTest& leak : m_leakTests) {
            const BlockPattern window = StackedAt(leak.shares, x, true) | StackedAt(leak.shares, x + 1, true) << 1 |
                                        StackedAt(leak.shares, x, false) << 2 |
                                        StackedAt(leak.shares, x + 1, false) << 3;
            leak.test.AddWindow(black, window);
        }
    }
}

void CShareMeasurement::MeasureRow(int y, const BYTE* secretRow, const BYTE* rowAbove)
{
    const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth);
    BlockPattern* stacked = m_stackedRow.data();
    StackRow(m_rowPointers, stacked);
    std::uint8_t* cells = m_cells.cells.data() + rowStart;
    if (m_nFrames > 0)
        CountCrawl(secretRow, stacked, cells, m_previousStack.data() + rowStart);
    else
        std::copy(stacked, stacked + m_nWidth, m_previousStack.data() + rowStart);
    m_frameHistogram.AddRow(secretRow, stacked, m_nWidth, cells);
    for (int x = 0; x < m_nWidth; ++x)
        cells[x] |= secretRow[x] == 0 ? 0 : kSecretWhiteBit;

    for (StackLeakTest& leak : m_leakTests) {
        if (leak.shares.size() == 1) {
            leak.test.AddRow(secretRow, m_rowPointers[static_cast<std::size_t>(leak.shares.front())], m_nWidth);
        } else {
            m_subsetRows.clear();
            for (const int s : leak.shares)
                m_subsetRows.push_back(m_rowPointers[static_cast<std::size_t>(s)]);
            StackRow(m_subsetRows, stacked);
            leak.test.AddRow(secretRow, stacked, m_nWidth);
        }
    }
    if (m_bWindows && (y & 1))
        CountWindows(secretRow, rowAbove);
}

void CShareMeasurement::StackRow(const std::vector<const BlockPattern*>& rows, BlockPattern* stacked) const
{
    std::copy(rows.front(), rows.front() + m_nWidth, stacked);
    for (std::size_t s = 1; s < rows.size(); ++s)
        for (int x = 0; x < m_nWidth; ++x)
            stacked[x] |= rows[s][x];
}

// Before the row's cells are overwritten: they still hold the previous frame's colours.
[[gnu::target_clones("popcnt", "default")]] void CShareMeasurement::CountCrawl(const BYTE* secretRow,
                                                                             const BlockPattern* stacked,
                                                                             const std::uint8_t* cells,
                                                                             BlockPattern* previous)
{
    std::uint64_t changed = 0;
    std::uint64_t compared = 0;
    for (int x = 0; x < m_nWidth; ++x) {
        const bool wasWhite = cells[x] & kSecretWhiteBit;
        if (wasWhite == (secretRow[x] != 0)) {
            changed += static_cast<std::uint64_t>(std::popcount(previous[x] ^ stacked[x]));
            ++compared;
        }
        previous[x] = stacked[x];
    }
    m_nFrameChanged += changed;
    m_nFrameCompared += compared * static_cast<std::uint64_t>(m_nSubpixels);
}

[[gnu::target_clones("popcnt", "default")]] void CShareMeasurement::TallyKinds()
{
    const bool comparing = m_nFrames > 0;
    m_pSmallTally->ForEachKind([&](const PixelKind& kind, std::uint64_t count) {
        BlockPattern stacked = 0;
        for (int s = 0; s < m_nShares; ++s)
            stacked |= kind.shares[s];
        m_frameHistogram.Add(kind.secretBlack, std::popcount(stacked), count);
        for (StackLeakTest& leak : m_leakTests) {
            BlockPattern pattern = 0;
            for (const int s : leak.shares)
                pattern |= kind.shares[s];
            leak.test.AddBlocks(kind.secretBlack, pattern, count);
        }
        if (comparing && kind.previousWhite != kind.secretBlack) {
            m_nFrameChanged += count * static_cast<std::uint64_t>(std::popcount(kind.previousStack ^ stacked));
            m_nFrameCompared += count * static_cast<std::uint64_t>(m_nSubpixels);
        }
    });
}

FrameFigures CShareMeasurement::MeasureFrame(const BYTE* secret, std::size_t secretStride,
                                             const std::vector<const BYTE*>& shares, std::size_t shareStride)
{
    m_frameHistogram.Reset();
    m_nFrameChanged = m_nFrameCompared = 0;
    if (m_pSmallTally) {
        m_pSmallTally->CountFrame(secret, secretStride, shares, shareStride, m_cells);
        TallyKinds();
    }
    for (int y = 0; y < m_nHeight && !m_pSmallTally; ++y) {
        if (m_bWindows)
            m_patternsAbove.swap(m_patterns);
        for (std::size_t s = 0; s < m_readers.size(); ++s) {
            m_readers[s].Read(shares[s], shareStride, y, m_patterns[s].data());
            m_rowPointers[s] = m_patterns[s].data();
        }
        const BYTE* row = secret + static_cast<std::size_t>(y) * secretStride;
        MeasureRow(y, row, y > 0 ? row - secretStride : nullptr);
    }
    m_streamHistogram.Merge(m_frameHistogram);

    FrameFigures figures;
    // A frame of one colour takes the missing darkness from the frames so far.
    auto mapping = MappingOf(m_frameHistogram);
    if (!mapping)
        mapping = MappingOf(m_streamHistogram);
    figures.contrast = ComputeContrast(m_frameHistogram, mapping);
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
    figures.contrast = ComputeContrast(m_streamHistogram, std::nullopt);
    if (m_nErrorPixels > 0)
        figures.contrast.meanSquaredError = m_dSquaredErrors / static_cast<double>(m_nErrorPixels);
    figures.psnr = PeakSignalToNoise(figures.contrast.meanSquaredError);
    if (m_nSimilarFrames > 0)
        figures.ssim = m_dSimilaritySum / static_cast<double>(m_nSimilarFrames);
    if (m_nCompared > 0)
        figures.crawl = static_cast<double>(m_nChanged) / static_cast<double>(m_nCompared);
    return figures;
}
