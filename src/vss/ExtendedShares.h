// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// (2, 2) extended visual cryptography (Ateniese, Blundo, De Santis and Stinson, 1996): two shares
// that each show a cover picture of their own, while stacked they show only the secret. Each pixel
// becomes a 2 x 2 block of m = 4 subpixels. In share i a block has 2 black subpixels where cover i
// is white and 3 where it is black; stacked, 3 where the secret is white and 4 where it is black.
// So each cover shows at relative difference 1/4 in its share, and the secret at 1/4 in the stack.
//
// A block is its basis matrix under a uniformly random permutation of the four columns. One share's
// block is then a uniformly random pattern of its cover's weight, whatever the secret and the other
// cover; the stack's block is a uniformly random pattern of the secret's weight, whatever the covers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "vss/CellRows.h"

class CRandomSource;

namespace extended_shares {

// Subpixel j of a block (bit j of a row): 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
struct BasisMatrix {
    std::uint8_t share1;  // black subpixels of share 1's row
    std::uint8_t share2;
};

// Indexed by Combination(): secret black 4, cover 1 black 2, cover 2 black 1.
inline constexpr BasisMatrix kBasis[8] = {
    {0b0011, 0b0101},  // white secret: the rows share one column
    {0b0011, 0b0111},  //   cover 2 black: row 1 inside row 2
    {0b0111, 0b0011},  //   cover 1 black
    {0b0111, 0b0111},  //   both black: equal rows
    {0b0011, 0b1100},  // black secret: the rows cover all four columns
    {0b0011, 0b1110},
    {0b0111, 0b1100},
    {0b0111, 0b1110},
};

// What kvt shadows says of the scheme, as it says of the threshold schemes.
inline constexpr const char* kDescription =
    "extended (2, 2): Ateniese, Blundo, De Santis and Stinson 1996, a cover for each share, m = 4 in 2 x 2 "
    "blocks, relative difference 1/4 (and 1/4 for each cover in its share)";

inline constexpr int kBlackInShare[2] = {2, 3};  // cover white, cover black
inline constexpr int kBlackInStack[2] = {3, 4};  // secret white, secret black

// Only 0 is black, as in every secret.
constexpr int Combination(std::uint8_t secret, std::uint8_t cover1, std::uint8_t cover2)
{
    return (secret == 0) << 2 | (cover1 == 0) << 1 | (cover2 == 0);
}

inline constexpr int kPermutations = 24;

// The two shares of secret frames with two cover frames of the same shape, a frame at a time.
class CExtendedShareMaker {
public:
    // For frames of width x height pixels at `stride` bytes a row; the shares are 2 width x 2 height
    // at their own 4-byte-aligned stride. False when the scratch can't be had.
    bool Prepare(std::size_t width, std::size_t height, std::size_t stride);

    // Both shares' frames, whose alignment bytes are 0 (never written). False when the random
    // source runs dry, with the shares partly written.
    bool Make(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
              CRandomSource& random, std::uint8_t* share1, std::uint8_t* share2);
    // The cells (CellRows, share 1 bit 0 and share 2 bit 1) of rows [y, y + rows) of the frames,
    // two rows a pixel row, GetPitch() apart from `cells` on. A frame's bands come top to bottom,
    // each once. False as Make.
    bool MakeCells(const std::uint8_t* secret, const std::uint8_t* cover1, const std::uint8_t* cover2,
                   CRandomSource& random, std::size_t y, std::size_t rows, std::uint8_t* cells);
    // Bytes from one row of cells to the next.
    std::size_t GetPitch() const { return CellPitch(2 * m_nWidth); }

private:
    // Permutation indices (0..23) for the next row, from random bytes: a byte below 240 gives
    // byte % 24, one above is drawn again, so that no permutation is likelier than another. The
    // caller may overwrite them.
    std::uint8_t* NextPermutations(CRandomSource& random, std::size_t count);
    // The next spare random byte below 240.
    bool NextAccepted(CRandomSource& random, std::uint8_t& byte);

    std::size_t m_nWidth = 0;
    std::size_t m_nHeight = 0;
    std::size_t m_nStride = 0;
    std::unique_ptr<std::uint8_t[]> m_permutations;  // one row's
    std::unique_ptr<std::uint8_t[]> m_rowCells;      // one row's, for Make
    std::array<std::uint8_t, 256> m_spare{};          // bytes to draw again from
    std::size_t m_nSpareLeft = 0;
};

}  // namespace extended_shares
