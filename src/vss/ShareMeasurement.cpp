#include "vss/ShareMeasurement.h"

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
    : m_nWidth(secretWidth), m_nHeight(secretHeight), m_block(block), m_nSubpixels(block.Subpixels()),
      m_bWindows(block.Subpixels() == 1), m_frameHistogram(m_nSubpixels), m_streamHistogram(m_nSubpixels)
{
    const auto width = static_cast<std::size_t>(secretWidth);
    const std::size_t pixels = width * static_cast<std::size_t>(secretHeight);
    for (int s = 0; s < shareCount; ++s) {
        m_readers.emplace_back(block, secretWidth);
        m_patterns.emplace_back(width);
        m_patternsAbove.emplace_back(m_bWindows ? width : 0);
    }
    const int patternBits = m_bWindows ? 4 : m_nSubpixels;
    auto addTests = [&](int size) {
        for (auto& shares : Combinations(shareCount, size))
            m_leakTests.push_back({std::move(shares), CLeakTest(patternBits)});
    };
    addTests(1);
    if (stackSize > 1)
        addTests(stackSize);
    m_cells = {secretWidth, secretHeight, m_nSubpixels, std::vector<std::uint8_t>(pixels)};
    m_previousStack.assign(pixels, 0);
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
            leak.test.AddPattern(black, window);
        }
    }
}

void CShareMeasurement::MeasureRow(int y, const BYTE* secretRow, const BYTE* rowAbove)
{
    const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth);
    std::uint8_t* cells = m_cells.cells.data() + rowStart;
    BlockPattern* previous = m_previousStack.data() + rowStart;
    const bool comparing = m_nFrames > 0;
    for (int x = 0; x < m_nWidth; ++x) {
        BlockPattern stacked = 0;
        for (const auto& row : m_patterns)
            stacked |= row[static_cast<std::size_t>(x)];
        const bool black = secretRow[x] == 0;
        const int count = std::popcount(stacked);
        m_frameHistogram.Add(black, count);
        const auto cell = static_cast<std::uint8_t>(count | (black ? 0 : kSecretWhiteBit));
        if (comparing && ((cells[x] ^ cell) & kSecretWhiteBit) == 0) {
            m_nFrameChanged += static_cast<std::uint64_t>(std::popcount(previous[x] ^ stacked));
            m_nFrameCompared += static_cast<std::uint64_t>(m_nSubpixels);
        }
        cells[x] = cell;
        previous[x] = stacked;
    }
    for (StackLeakTest& leak : m_leakTests) {
        for (int x = 0; x < m_nWidth; ++x) {
            const BlockPattern pattern = StackedAt(leak.shares, x, false);
            const bool black = secretRow[x] == 0;
            leak.test.AddDarkness(black, std::popcount(pattern), m_nSubpixels);
            if (!m_bWindows)
                leak.test.AddPattern(black, pattern);
        }
    }
    if (m_bWindows && (y & 1))
        CountWindows(secretRow, rowAbove);
}

FrameFigures CShareMeasurement::MeasureFrame(const BYTE* secret, std::size_t secretStride,
                                             const std::vector<const BYTE*>& shares, std::size_t shareStride)
{
    m_frameHistogram.Reset();
    m_nFrameChanged = m_nFrameCompared = 0;
    for (int y = 0; y < m_nHeight; ++y) {
        if (m_bWindows)
            m_patternsAbove.swap(m_patterns);
        for (std::size_t s = 0; s < m_readers.size(); ++s)
            m_readers[s].Read(shares[s], shareStride, y, m_patterns[s].data());
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
