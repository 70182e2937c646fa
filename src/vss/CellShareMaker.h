// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makers whose shares come from cells: a byte a cell of the shares' rows, bit i (1 << i) set where
// share i's cell is black. A band's cells are all that passes from the making to the writing,
// one byte a cell whatever the number of shares; each share's rows are spread from them as they
// are written, into a buffer that stays in the writing processor's cache.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vss/ShareMaker.h"

// Rows of cells, and the shares they give.
struct CellRows {
    const std::uint8_t* cells = nullptr;
    std::size_t pitch = 0;  // bytes from one row of cells to the next
    std::size_t width = 0;  // cells a row
    std::size_t rows = 0;

    // Share i's rows into `out`, `stride` bytes apart; the bytes past a row's cells are left alone.
    void Spread(int share, std::uint8_t* out, std::size_t stride) const;
};

class CCellShareMaker : public CShareMaker {
public:
    // Bytes past a row's last cell that a maker may store into; the next row starts after them.
    static constexpr std::size_t kRowSlack = 16;
    // Bytes from one row of cells to the next: the share's width and the slack, in whole cache
    // lines.
    static std::size_t PitchOf(std::size_t shareWidth);

    bool MakesBands() const override { return true; }
    // The cells of secret rows [y, y + rows) of the frame `secret`, into rows of cells PitchOf the
    // share width apart, the first of them at `cells`. A frame's bands come top to bottom, each
    // once. False when the random source runs dry.
    virtual bool MakeCells(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* cells) = 0;

    // A secret row's cells at a time, spread at once.
    bool MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* const* shares) override;
    bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) override;

protected:
    CCellShareMaker(ShareGeometry geometry, int shares);

    const ShareGeometry& GetGeometry() const { return m_geometry; }
    std::size_t GetPitch() const { return m_nPitch; }

private:
    ShareGeometry m_geometry;
    int m_nShares;
    std::size_t m_nPitch;
    std::vector<std::uint8_t> m_rowCells;  // a secret row's, for MakeBand
};
