// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The blocks of shares as bit patterns: one bit per subpixel, set where the subpixel is black (0),
// bit r * width + c for the subpixel in column c and row r of the block, in as many 64-bit words as
// the block needs. Stacking shares (black wins) is then the OR of their patterns, and a block's
// darkness the count of its set bits.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using BYTE = std::uint8_t;
using BlockPattern = std::uint64_t;

// Subpixels per secret pixel in shares of `width` x `height` blocks.
struct BlockShape {
    int width = 1;
    int height = 1;
    int Subpixels() const { return width * height; }
    // Words of one block's pattern.
    int Words() const { return (Subpixels() + 63) / 64; }
};

// Blocks of at most this many subpixels are measured: a block's count of black ones and the
// secret's colour share 16 bits.
inline constexpr int kMaxBlockSubpixels = 32767;

// The block that makes a share of shareWidth x shareHeight from a secret of secretWidth x
// secretHeight, or nothing when the share is not a whole multiple of the secret both ways.
std::optional<BlockShape> DeriveBlockShape(int secretWidth, int secretHeight, int shareWidth, int shareHeight);

// The blocks of `count` rows of patterns stacked (black wins), `words` words each: the OR of the rows.
void StackPatterns(const BlockPattern* const* rows, std::size_t rowCount, std::size_t words, BlockPattern* stacked);

// Reads the patterns of one row of secret pixels from a share frame.
class CBlockPatternReader {
public:
    CBlockPatternReader(BlockShape block, int secretWidth);

    // patterns[x * words + w] for x < secretWidth and w < the block's Words(): the blocks of secret
    // row `secretRow` in `shareFrame`, whose rows are `stride` bytes apart.
    void Read(const BYTE* shareFrame, std::size_t stride, int secretRow, BlockPattern* patterns);

    // Row by row, in two steps: the share's rows of one secret row packed, then their blocks
    // assembled (into patterns as Read gives them, or into the keys of pixels).
    void Pack(const BYTE* shareFrame, std::size_t stride, int secretRow);
    void AssemblePacked(BlockPattern* patterns);
    // Blocks of up to 64 subpixels: each block's pattern ORed into stacked[x] and, shifted left by
    // `shift`, into keys[x].
    void AddPackedToKeys(unsigned shift, std::uint64_t* keys, BlockPattern* stacked);
    // The keys of the pixels (bit 0 set where the secret is black, share s's block from bit
    // 1 + s * subpixels), the stacks and their cells (RevealSimilarity.h) from every reader's
    // packed row at once, where the processor and the blocks allow; false otherwise.
    // Rows packed ahead, a frame at a time: the share's rows as PackRows leaves them, each
    // PackedRowWords() words, in a frame of PackedFrameWords(the share's height) words whose
    // words past the rows' bits are 0. A frame of bits is an eighth of a frame of bytes: packed as
    // they are read, a band of rows at a time, the bytes stay in the cache.
    std::size_t PackedRowWords() const { return m_nWordsPerRow; }
    std::size_t PackedFrameWords(int shareHeight) const;
    void PackRows(const BYTE* rows, std::size_t stride, int count, std::uint64_t* bits) const;
    // Secret row `secretRow`'s packed rows taken from `packedFrame` instead of packed by Pack.
    void UsePacked(const std::uint64_t* packedFrame, int secretRow);

    static bool AssembleKeys(const std::vector<CBlockPatternReader>& readers, const BYTE* secretRow,
                             std::uint64_t* keys, BlockPattern* stacked, std::uint8_t* cells);

private:
    // Bits of block row r: bit i set where subpixel i of that row is black.
    void PackRow(const BYTE* row, std::uint64_t* bits) const;
    const std::uint64_t* PackedBits() const { return m_pPacked ? m_pPacked : m_bits.data(); }

    BlockShape m_block;
    int m_nSecretWidth;
    std::size_t m_nWordsPerRow;         // one word more than a row needs, so reads may straddle
    std::size_t m_nPatternWords;
    // Assembling reads up to 16 bytes from a row's byte near its end: the last row's may reach past it.
    static constexpr std::size_t kReadPastEnd = 2;
    std::vector<std::uint64_t> m_bits;  // the block's rows, packed; kReadPastEnd words more
    const std::uint64_t* m_pPacked = nullptr;  // the rows UsePacked gave; nothing: m_bits
    std::vector<BlockPattern> m_patterns;  // a row's, where AddPackedToKeys assembles them apart
};
