// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/SmallBlockTally.h"

#include <algorithm>

namespace {
constexpr int kKeyBits = 16;

int KeyBits(BlockShape block, int shareCount)
{
    // colour, the shares' patterns, the previous stacked pattern and colour
    return 1 + (shareCount + 1) * block.Subpixels() + 1;
}

// Bit counts of patterns of up to 7 bits, in byte arithmetic that vectorizes.
std::uint8_t CountBits(std::uint8_t v)
{
    v = static_cast<std::uint8_t>(v - ((v >> 1) & 0x55));
    v = static_cast<std::uint8_t>((v & 0x33) + ((v >> 2) & 0x33));
    return static_cast<std::uint8_t>((v + (v >> 4)) & 0x0F);
}

// One block row's subpixels ored into the patterns, blocks `Width` wide.
template <int Width>
void OrBlockRow(const BYTE* __restrict row, int secretWidth, unsigned shift, std::uint8_t* __restrict patterns)
{
    for (int x = 0; x < secretWidth; ++x) {
        unsigned bits = 0;
        for (int c = 0; c < Width; ++c)
            bits |= unsigned{row[x * Width + c] == 0} << c;
        patterns[x] = static_cast<std::uint8_t>(patterns[x] | bits << shift);
    }
}

// The row's keys: its colours and the previous frame's stack, before the shares' patterns.
// The loops over bytes are also built for processors with 32-byte vectors; clones go on free
// functions, as clang takes them only on a function's first declaration (a member's is in the header).
[[gnu::target_clones("avx2", "default")]] void StartKeys(const BYTE* __restrict secretRow, const std::uint8_t* __restrict previous, int width,
               unsigned previousShift, unsigned previousWhiteShift, std::uint16_t* __restrict keys)
{
    for (int x = 0; x < width; ++x) {
        const unsigned before = previous[x];
        keys[x] = static_cast<std::uint16_t>(unsigned{secretRow[x] == 0} | (before & 0x7F) << previousShift |
                                             (before >> 7) << previousWhiteShift);
    }
}

[[gnu::target_clones("avx2", "default")]] void AddToKeys(const std::uint8_t* __restrict patterns, int width, unsigned shift, std::uint16_t* __restrict keys,
               std::uint8_t* __restrict stacked)
{
    for (int x = 0; x < width; ++x) {
        keys[x] = static_cast<std::uint16_t>(keys[x] | unsigned{patterns[x]} << shift);
        stacked[x] = static_cast<std::uint8_t>(stacked[x] | patterns[x]);
    }
}

// This frame's stack and colours, for the next frame's keys and for the similarity.
[[gnu::target_clones("avx2", "default")]] void KeepStack(const BYTE* __restrict secretRow, const std::uint8_t* __restrict stacked, int width,
               std::uint8_t* __restrict previous, std::uint8_t* __restrict cells)
{
    for (int x = 0; x < width; ++x) {
        const std::uint8_t white = secretRow[x] != 0 ? kSecretWhiteBit : 0;
        previous[x] = static_cast<std::uint8_t>(stacked[x] | white);
        cells[x] = static_cast<std::uint8_t>(CountBits(stacked[x]) | white);
    }
}

// Secret row y's blocks of one share as patterns.
[[gnu::target_clones("avx2", "default")]] void ReadPatterns(const BYTE* share, std::size_t stride, int y,
                                                           BlockShape block, int width, std::uint8_t* patterns)
{
    std::fill(patterns, patterns + width, std::uint8_t{0});
    for (int r = 0; r < block.height; ++r) {
        const BYTE* row = share + (static_cast<std::size_t>(y) * static_cast<std::size_t>(block.height) +
                                   static_cast<std::size_t>(r)) * stride;
        const unsigned shift = static_cast<unsigned>(r * block.width);
        switch (block.width) {
        case 1: OrBlockRow<1>(row, width, shift, patterns); break;
        case 2: OrBlockRow<2>(row, width, shift, patterns); break;
        case 3: OrBlockRow<3>(row, width, shift, patterns); break;
        default: OrBlockRow<4>(row, width, shift, patterns); break;
        }
    }
}
}  // namespace

bool CSmallBlockTally::Fits(BlockShape block, int shareCount)
{
    return block.Subpixels() > 1 && block.width <= 4 && shareCount <= 8 && KeyBits(block, shareCount) <= kKeyBits;
}

CSmallBlockTally::CSmallBlockTally(int secretWidth, int secretHeight, BlockShape block, int shareCount)
    : m_nWidth(secretWidth), m_nHeight(secretHeight), m_block(block), m_nShares(shareCount),
      m_nBits(static_cast<unsigned>(block.Subpixels())),
      m_counts(std::size_t{1} << KeyBits(block, shareCount)),
      m_patterns(static_cast<std::size_t>(secretWidth)), m_stacked(m_patterns.size()), m_keys(m_patterns.size()),
      m_previous(static_cast<std::size_t>(secretWidth) * static_cast<std::size_t>(secretHeight)),
      m_previousPatterns(m_previous.size() * static_cast<std::size_t>(shareCount)),
      m_changes((std::size_t{2} << m_nBits) * static_cast<std::size_t>(shareCount))
{
}

void CSmallBlockTally::CountChanges(const BYTE* secretRow, const std::uint8_t* previousStack,
                                    const std::uint8_t* patterns, std::uint8_t* previousPatterns,
                                    std::uint32_t* changes) const
{
    for (int x = 0; x < m_nWidth; ++x) {
        const unsigned secretChanged = (previousStack[x] >> 7) != unsigned{secretRow[x] != 0};
        if (m_bCompare)
            ++changes[secretChanged << m_nBits | static_cast<unsigned>(previousPatterns[x] ^ patterns[x])];
        previousPatterns[x] = patterns[x];
    }
}

void CSmallBlockTally::CountFrame(const BYTE* secret, std::size_t secretStride, const std::vector<const BYTE*>& shares,
                                  std::size_t shareStride, StackedCells& cells)
{
    std::fill(m_counts.begin(), m_counts.end(), 0);
    std::fill(m_changes.begin(), m_changes.end(), 0);
    const std::size_t pixels = m_previous.size();
    const int width = m_nWidth;
    const unsigned previousShift = 1 + static_cast<unsigned>(m_nShares) * m_nBits;
    std::uint16_t* keys = m_keys.data();
    std::uint8_t* stacked = m_stacked.data();
    std::uint32_t* counts = m_counts.data();
    for (int y = 0; y < m_nHeight; ++y) {
        const BYTE* secretRow = secret + static_cast<std::size_t>(y) * secretStride;
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::uint8_t* previous = m_previous.data() + rowStart;
        StartKeys(secretRow, previous, width, previousShift, previousShift + m_nBits, keys);
        std::fill(stacked, stacked + width, std::uint8_t{0});
        for (int s = 0; s < m_nShares; ++s) {
            std::uint8_t* patterns = m_patterns.data();
            ReadPatterns(shares[static_cast<std::size_t>(s)], shareStride, y, m_block, width, patterns);
            AddToKeys(patterns, width, 1 + static_cast<unsigned>(s) * m_nBits, keys, stacked);
            CountChanges(secretRow, previous, patterns, m_previousPatterns.data() + static_cast<std::size_t>(s) * pixels + rowStart,
                         m_changes.data() + (static_cast<std::size_t>(s) << (m_nBits + 1)));
        }
        KeepStack(secretRow, stacked, width, previous, cells.cells.data() + rowStart);
        for (int x = 0; x < width; ++x)
            ++counts[keys[x]];
    }
    m_bCompare = true;
}

PixelKind CSmallBlockTally::Decode(std::size_t key) const
{
    const BlockPattern mask = (BlockPattern{1} << m_nBits) - 1;
    PixelKind kind{};
    kind.secretBlack = key & 1;
    unsigned shift = 1;
    for (int s = 0; s < m_nShares; ++s, shift += m_nBits)
        kind.shares[s] = key >> shift & mask;
    kind.previousStack = key >> shift & mask;
    kind.previousWhite = key >> (shift + m_nBits) & 1;
    return kind;
}
