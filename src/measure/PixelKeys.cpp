// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/PixelKeys.h"

#include <bit>

#include "measure/RevealSimilarity.h"

namespace {
#if defined(__x86_64__)
const bool kVectorBitCounts = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                              __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vpopcntdq");
#define KVT_WIDE_VECTORS [[gnu::target("avx512f,avx512vl,avx512bw,avx512vpopcntdq,prefer-vector-width=512")]]
#else
constexpr bool kVectorBitCounts = false;
#define KVT_WIDE_VECTORS
#endif

// The loops, inlined into a build for each kind of processor.
[[gnu::always_inline]] inline void StartKeysLoop(const PixelKeyLayout& layout, const BYTE* secretRow,
                                                 std::uint64_t* keys, BlockPattern* stacked)
{
    for (std::size_t x = 0; x < layout.width; ++x) {
        keys[x] = secretRow[x] == 0;
        stacked[x] = 0;
    }
}

[[gnu::always_inline]] inline void CountCellsLoop(const PixelKeyLayout& layout, const BYTE* secretRow,
                                                  const BlockPattern* stacked, std::uint8_t* cells)
{
    for (std::size_t x = 0; x < layout.width; ++x)
        cells[x] = static_cast<std::uint8_t>(std::popcount(stacked[x]) | (secretRow[x] == 0 ? 0 : kSecretWhiteBit));
}

[[gnu::always_inline]] inline CrawlCounts CompareLoops(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                                       const BlockPattern* stacked, std::uint64_t* previous,
                                                       std::uint64_t* differences, BlockPattern* before)
{
    const std::size_t width = layout.width;
    const BlockPattern mask = (BlockPattern{1} << layout.bits) - 1;
    for (std::size_t x = 0; x < width; ++x)
        before[x] = 0;
    for (std::size_t s = 0; s < layout.shares; ++s) {
        const unsigned shift = 1 + static_cast<unsigned>(s) * layout.bits;
        for (std::size_t x = 0; x < width; ++x)
            before[x] |= previous[x] >> shift & mask;
    }
    CrawlCounts crawl;
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint64_t difference = keys[x] ^ previous[x];
        const std::uint64_t kept = ~difference & 1;
        differences[x] = difference;
        previous[x] = keys[x];
        crawl.changed += kept * static_cast<std::uint64_t>(std::popcount(before[x] ^ stacked[x]));
        crawl.compared += kept;
    }
    return crawl;
}

[[gnu::always_inline]] inline void ChangeRowLoop(const PixelKeyLayout& layout, const std::uint64_t* differences,
                                                 std::size_t share, std::uint32_t* rows)
{
    const std::uint64_t mask = (std::uint64_t{1} << layout.bits) - 1;
    const unsigned shift = 1 + static_cast<unsigned>(share) * layout.bits;
    for (std::size_t x = 0; x < layout.width; ++x)
        rows[x] = static_cast<std::uint32_t>((differences[x] & 1) << layout.bits | (differences[x] >> shift & mask));
}

KVT_WIDE_VECTORS void StartKeysWide(const PixelKeyLayout& layout, const BYTE* secretRow, std::uint64_t* keys,
                                    BlockPattern* stacked)
{
    StartKeysLoop(layout, secretRow, keys, stacked);
}

KVT_WIDE_VECTORS void CountCellsWide(const PixelKeyLayout& layout, const BYTE* secretRow, const BlockPattern* stacked,
                                     std::uint8_t* cells)
{
    CountCellsLoop(layout, secretRow, stacked, cells);
}

KVT_WIDE_VECTORS CrawlCounts CompareWide(const PixelKeyLayout& layout, const std::uint64_t* keys,
                                         const BlockPattern* stacked, std::uint64_t* previous,
                                         std::uint64_t* differences, BlockPattern* before)
{
    return CompareLoops(layout, keys, stacked, previous, differences, before);
}

KVT_WIDE_VECTORS void ChangeRowWide(const PixelKeyLayout& layout, const std::uint64_t* differences, std::size_t share,
                                    std::uint32_t* rows)
{
    ChangeRowLoop(layout, differences, share, rows);
}
}  // namespace

void StartPixelKeys(const PixelKeyLayout& layout, const BYTE* secretRow, std::uint64_t* keys, BlockPattern* stacked)
{
    if (kVectorBitCounts)
        return StartKeysWide(layout, secretRow, keys, stacked);
    StartKeysLoop(layout, secretRow, keys, stacked);
}

void CountCells(const PixelKeyLayout& layout, const BYTE* secretRow, const BlockPattern* stacked,
                std::uint8_t* cells)
{
    if (kVectorBitCounts)
        return CountCellsWide(layout, secretRow, stacked, cells);
    CountCellsLoop(layout, secretRow, stacked, cells);
}

CrawlCounts CompareWithPrevious(const PixelKeyLayout& layout, const std::uint64_t* keys, const BlockPattern* stacked,
                                std::uint64_t* previous, std::uint64_t* differences, BlockPattern* scratch)
{
    if (kVectorBitCounts)
        return CompareWide(layout, keys, stacked, previous, differences, scratch);
    return CompareLoops(layout, keys, stacked, previous, differences, scratch);
}

void ChangeRows(const PixelKeyLayout& layout, const std::uint64_t* differences, std::size_t share,
                std::uint32_t* rows)
{
    if (kVectorBitCounts)
        return ChangeRowWide(layout, differences, share, rows);
    ChangeRowLoop(layout, differences, share, rows);
}
