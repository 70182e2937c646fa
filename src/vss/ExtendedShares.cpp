// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ExtendedShares.h"

#include <array>
#include <cstring>
#include <new>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "vss/RandomSource.h"

namespace extended_shares {
namespace {
constexpr unsigned kAcceptedBelow = 240;  // 10 x 24

// Both shares' blocks for every combination and permutation, as subpixel bytes: share 1's
// top-left, top-right, bottom-left, bottom-right, then share 2's.
using BlockBytes = std::array<std::uint8_t, 8>;

constexpr std::array<BlockBytes, 8 * kPermutations> kBlocks = [] {
    std::array<std::array<int, 4>, kPermutations> orders{};
    std::array<int, 4> order = {0, 1, 2, 3};
    for (auto& entry : orders) {
        entry = order;
        // The next permutation in lexicographic order.
        int i = 2;
        while (i >= 0 && order[i] > order[i + 1])
            --i;
        if (i < 0)
            break;
        int j = 3;
        while (order[j] < order[i])
            --j;
        std::swap(order[i], order[j]);
        for (int a = i + 1, b = 3; a < b; ++a, --b)
            std::swap(order[a], order[b]);
    }
    std::array<BlockBytes, 8 * kPermutations> blocks{};
    for (int c = 0; c < 8; ++c) {
        for (int p = 0; p < kPermutations; ++p) {
            BlockBytes& block = blocks[static_cast<std::size_t>(c * kPermutations + p)];
            for (int j = 0; j < 4; ++j) {
                const int column = orders[static_cast<std::size_t>(p)][static_cast<std::size_t>(j)];
                block[static_cast<std::size_t>(j)] = (kBasis[c].share1 >> column & 1) ? 0 : 255;
                block[static_cast<std::size_t>(4 + j)] = (kBasis[c].share2 >> column & 1) ? 0 : 255;
            }
        }
    }
    return blocks;
}();

// A block's cells as one word, top-left in its low byte: bit 0 of a cell black in share 1, bit 1
// black in share 2.
constexpr std::array<std::uint32_t, 8 * kPermutations> kBlockCells = [] {
    std::array<std::uint32_t, 8 * kPermutations> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        for (std::size_t j = 0; j < 4; ++j) {
            const unsigned cell = (kBlocks[i][j] == 0 ? 1u : 0u) | (kBlocks[i][4 + j] == 0 ? 2u : 0u);
            words[i] |= std::uint32_t{cell} << (8 * j);
        }
    return words;
}();

// Turns a row's permutations into indices of kBlockCells, Combination() * 24 + permutation, in
// place: a loop of byte compares that the compiler vectorises.
void IndexRow(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
              std::uint8_t* permutations, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x) {
        const int offset = (secret[x] == 0 ? 4 * kPermutations : 0) + (cover1[x] == 0 ? 2 * kPermutations : 0) +
                           (cover2[x] == 0 ? kPermutations : 0);
        permutations[x] = static_cast<std::uint8_t>(permutations[x] + offset);
    }
}

void WriteCellRows(const std::uint8_t* indices, std::size_t width, std::uint8_t* top, std::uint8_t* bottom)
{
    std::size_t x = 0;
#if defined(__x86_64__)
    // Four pixels' words are four top pairs and four bottom pairs of cells, interleaved: put in
    // order, the low half is the top row's eight cells and the high half the bottom row's. The
    // stores go around the cache: the writing thread reads the cells on the other processor, and
    // the band it read last is the next one made.
    for (; x + 4 <= width; x += 4) {
        const __m128i words = _mm_setr_epi32(static_cast<int>(kBlockCells[indices[x]]),
                                             static_cast<int>(kBlockCells[indices[x + 1]]),
                                             static_cast<int>(kBlockCells[indices[x + 2]]),
                                             static_cast<int>(kBlockCells[indices[x + 3]]));
        const __m128i pairs = _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, _MM_SHUFFLE(3, 1, 2, 0)), _MM_SHUFFLE(3, 1, 2, 0));
        const __m128i rows = _mm_shuffle_epi32(pairs, _MM_SHUFFLE(3, 1, 2, 0));
        _mm_stream_si64(reinterpret_cast<long long*>(top + 2 * x), _mm_cvtsi128_si64(rows));
        _mm_stream_si64(reinterpret_cast<long long*>(bottom + 2 * x), _mm_cvtsi128_si64(_mm_unpackhi_epi64(rows, rows)));
    }
#endif
    for (; x < width; ++x) {
        const std::uint32_t word = kBlockCells[indices[x]];
        const auto topPair = static_cast<std::uint16_t>(word), bottomPair = static_cast<std::uint16_t>(word >> 16);
        std::memcpy(top + 2 * x, &topPair, sizeof topPair);
        std::memcpy(bottom + 2 * x, &bottomPair, sizeof bottomPair);
    }
}
}  // namespace

bool CExtendedShareMaker::Prepare(std::size_t width, std::size_t height, std::size_t stride)
{
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = stride;
    m_nSpareLeft = 0;
    m_permutations.reset(new (std::nothrow) std::uint8_t[width]);
    m_rowCells.reset(new (std::nothrow) std::uint8_t[2 * GetPitch()]());
    return m_permutations != nullptr && m_rowCells != nullptr;
}

bool CExtendedShareMaker::NextAccepted(CRandomSource& random, std::uint8_t& byte)
{
    do {
        if (m_nSpareLeft == 0) {
            if (!random.Fill(m_spare.data(), m_spare.size()))
                return false;
            m_nSpareLeft = m_spare.size();
        }
        byte = m_spare[--m_nSpareLeft];
    } while (byte >= kAcceptedBelow);
    return true;
}

std::uint8_t* CExtendedShareMaker::NextPermutations(CRandomSource& random, std::size_t count)
{
    std::uint8_t* bytes = m_permutations.get();
    if (!random.Fill(bytes, count))
        return nullptr;
    // A byte of 240 or more (its top four bits set) is drawn again from the spare bytes, in the
    // order of the bytes: one in sixteen, found 64 at a time so that the loop over them ends
    // unforeseen once a 64 rather than once every few bytes.
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        std::uint64_t rejected = 0;
        for (std::size_t word = 0; word < 8; ++word) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, bytes + i + 8 * word, sizeof bits);
            bits &= bits << 1 & bits << 2 & bits << 3 & 0x8080808080808080u;
            // Each byte's top bit to one bit of the mask, in the byte's place.
            rejected |= ((bits >> 7) * 0x0102040810204080u >> 56) << (8 * word);
        }
        for (; rejected != 0; rejected &= rejected - 1)
            if (!NextAccepted(random, bytes[i + static_cast<std::size_t>(__builtin_ctzll(rejected))]))
                return nullptr;
    }
    for (; i < count; ++i) {
        if (bytes[i] >= kAcceptedBelow && !NextAccepted(random, bytes[i]))
            return nullptr;
    }
    for (i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(bytes[i] % kPermutations);
    return bytes;
}

bool CExtendedShareMaker::Make(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
                               CRandomSource& random, std::uint8_t* share1, std::uint8_t* share2)
{
    const std::size_t shareStride = (2 * m_nWidth + 3) / 4 * 4;
    const CellRows row{m_rowCells.get(), GetPitch(), 2 * m_nWidth, 2};
    for (std::size_t y = 0; y < m_nHeight; ++y) {
        if (!MakeCells(secret, cover1, cover2, random, y, 1, m_rowCells.get()))
            return false;
        row.Spread(0, share1 + 2 * y * shareStride, shareStride);
        row.Spread(1, share2 + 2 * y * shareStride, shareStride);
    }
    return true;
}

bool CExtendedShareMaker::MakeCells(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
                                    CRandomSource& random, std::size_t y, std::size_t rows, std::uint8_t* cells)
{
    const std::size_t pitch = GetPitch();
    for (std::size_t row = 0; row < rows; ++row) {
        std::uint8_t* indices = NextPermutations(random, m_nWidth);
        if (indices == nullptr)
            return false;
        const std::size_t in = (y + row) * m_nStride;
        IndexRow(secret + in, cover1 + in, cover2 + in, indices, m_nWidth);
        std::uint8_t* top = cells + 2 * row * pitch;
        WriteCellRows(indices, m_nWidth, top, top + pitch);
    }
#if defined(__x86_64__)
    // The stores around the cache are done before the band is handed on.
    _mm_sfence();
#endif
    return true;
}

}  // namespace extended_shares
