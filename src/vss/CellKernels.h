// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of the share makers' cells: a row's columns looked up from its pixels' numbers,
// and a share's cells spread from the columns' bit for it. Plain loops on any CPU; 64 cells at a
// time where the CPU has AVX-512 (VBMI for the lookup, 16 at a time through slices). Every version writes the same bytes.

#include <cstddef>
#include <cstdint>

namespace cell_kernels {

inline constexpr std::size_t kTableBytes = 256;
inline constexpr std::uint32_t kMaxOutcomes = kTableBytes / 2;

// For schemes of at most 128 columns a colour: the white columns then the black ones in a table of
// 256 bytes, columns[x] = table[(pixels[x] == 0 ? outcomes : 0) + numbers[x]] for x < width.
using LookUpFn = void (*)(const std::uint8_t* table, std::uint8_t outcomes, const std::uint8_t* pixels,
                          const std::uint8_t* numbers, std::uint8_t* columns, std::size_t width);

void LookUpPlain(const std::uint8_t* table, std::uint8_t outcomes, const std::uint8_t* pixels,
                 const std::uint8_t* numbers, std::uint8_t* columns, std::size_t width);
// Null where this CPU (or this build) has no AVX-512 VBMI.
LookUpFn LookUpVbmi();
// The fastest this CPU runs; chosen on first use.
LookUpFn BestLookUp();

// For longer lists, each column in one run of copies: the list in slices of 2^shift columns, each
// slice a word of the column it starts in (bits 0-7), the next run's column (8-15) and where in the
// slice that run starts (16-31; the slice's size if none does), the white list's slices then the
// black list's from blackFirst on. columns[x] is the list's column numbers[x], for x < width.
using SliceLookUpFn = void (*)(const std::uint32_t* slices, std::uint32_t blackFirst, unsigned shift,
                               const std::uint8_t* pixels, const std::uint32_t* numbers, std::uint8_t* columns,
                               std::size_t width);

void LookUpSlicesPlain(const std::uint32_t* slices, std::uint32_t blackFirst, unsigned shift,
                       const std::uint8_t* pixels, const std::uint32_t* numbers, std::uint8_t* columns,
                       std::size_t width);
SliceLookUpFn LookUpSlicesAvx512();  // null without AVX-512 BW and VL
SliceLookUpFn BestSliceLookUp();

// out[i] = 0 (black) where columns[i] has a bit of `bit`, 255 (white) elsewhere, for i < count.
using SpreadFn = void (*)(const std::uint8_t* columns, std::uint8_t bit, std::uint8_t* out, std::size_t count);

void SpreadPlain(const std::uint8_t* columns, std::uint8_t bit, std::uint8_t* out, std::size_t count);
SpreadFn SpreadAvx512();  // null without AVX-512 BW
SpreadFn BestSpread();

}  // namespace cell_kernels
