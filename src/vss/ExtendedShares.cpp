#include "vss/ExtendedShares.h"

#include <array>
#include <cstring>
#include <new>

namespace extended_shares {
namespace {
constexpr std::size_t kRandomBatch = 64 * 1024;
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

// A block's subpixel bytes as one word, so that each pair of them is one store.
constexpr std::array<std::uint64_t, 8 * kPermutations> kBlockWords = [] {
    std::array<std::uint64_t, 8 * kPermutations> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        for (std::size_t j = 0; j < 8; ++j)
            words[i] |= std::uint64_t{kBlocks[i][j]} << (8 * j);
    return words;
}();

void Store16(std::uint8_t* out, std::uint64_t word)
{
    const auto pair = static_cast<std::uint16_t>(word);
    std::memcpy(out, &pair, sizeof pair);
}

void WriteBlockRows(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
                    const std::uint8_t* permutations, std::size_t width, std::uint8_t* top1,
                    std::uint8_t* bottom1, std::uint8_t* top2, std::uint8_t* bottom2)
{
    for (std::size_t x = 0; x < width; ++x) {
        const int c = Combination(secret[x], cover1[x], cover2[x]);
        const std::uint64_t word = kBlockWords[static_cast<std::size_t>(c * kPermutations + permutations[x])];
        Store16(top1 + 2 * x, word);
        Store16(bottom1 + 2 * x, word >> 16);
        Store16(top2 + 2 * x, word >> 32);
        Store16(bottom2 + 2 * x, word >> 48);
    }
}
}  // namespace

bool CExtendedShareMaker::Prepare(std::size_t width, std::size_t height, std::size_t stride)
{
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = stride;
    m_nBegin = m_nEnd = 0;
    m_random.reset(new (std::nothrow) std::uint8_t[kRandomBatch]);
    m_permutations.reset(new (std::nothrow) std::uint8_t[width + kRandomBatch]);
    return m_random && m_permutations;
}

const std::uint8_t* CExtendedShareMaker::NextPermutations(const RandomBytes& random, std::size_t count)
{
    if (m_nEnd - m_nBegin < count) {
        std::memmove(m_permutations.get(), m_permutations.get() + m_nBegin, m_nEnd - m_nBegin);
        m_nEnd -= m_nBegin;
        m_nBegin = 0;
    }
    while (m_nEnd < count) {
        if (!random(m_random.get(), kRandomBatch))
            return nullptr;
        std::uint8_t* out = m_permutations.get() + m_nEnd;
        std::size_t n = 0;
        for (std::size_t i = 0; i < kRandomBatch; ++i) {
            const std::uint8_t byte = m_random[i];
            out[n] = static_cast<std::uint8_t>(byte % kPermutations);
            n += byte < kAcceptedBelow;
        }
        m_nEnd += n;
    }
    const std::uint8_t* permutations = m_permutations.get() + m_nBegin;
    m_nBegin += count;
    return permutations;
}

bool CExtendedShareMaker::Make(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
                               const RandomBytes& random, std::uint8_t* share1, std::uint8_t* share2)
{
    const std::size_t shareStride = (2 * m_nWidth + 3) / 4 * 4;
    for (std::size_t y = 0; y < m_nHeight; ++y) {
        const std::uint8_t* permutations = NextPermutations(random, m_nWidth);
        if (permutations == nullptr)
            return false;
        const std::size_t in = y * m_nStride;
        std::uint8_t* top1 = share1 + 2 * y * shareStride;
        std::uint8_t* top2 = share2 + 2 * y * shareStride;
        WriteBlockRows(secret + in, cover1 + in, cover2 + in, permutations, m_nWidth, top1, top1 + shareStride, top2,
                       top2 + shareStride);
    }
    return true;
}

}  // namespace extended_shares
