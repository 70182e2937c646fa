// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A row's columns from its pixels' numbers, for schemes of at most 128 columns a colour: the white
// columns then the black ones in a table of 256 bytes, column x the table's entry at its number,
// past the white ones where the pixel is black. A plain loop on any CPU; 64 pixels at a time by two
// byte permutes where the CPU has AVX-512 VBMI. Both write the same bytes.

#include <cstddef>
#include <cstdint>

namespace column_lookup {

inline constexpr std::size_t kTableBytes = 256;
inline constexpr std::uint32_t kMaxOutcomes = kTableBytes / 2;

// columns[x] = table[(pixels[x] == 0 ? outcomes : 0) + numbers[x]] for x < width.
using LookUpFn = void (*)(const std::uint8_t* table, std::uint8_t outcomes, const std::uint8_t* pixels,
                          const std::uint8_t* numbers, std::uint8_t* columns, std::size_t width);

void LookUpPlain(const std::uint8_t* table, std::uint8_t outcomes, const std::uint8_t* pixels,
                 const std::uint8_t* numbers, std::uint8_t* columns, std::size_t width);
// Null where this CPU (or this build) has no AVX-512 VBMI.
LookUpFn LookUpVbmi();
// The fastest this CPU runs; chosen on first use.
LookUpFn BestLookUp();

}  // namespace column_lookup
