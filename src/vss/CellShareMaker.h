// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makers whose shares come from cells (CellRows): a band's cells are all that passes from the
// making to the writing.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vss/CellRows.h"
#include "vss/ShareMaker.h"

class CCellShareMaker : public CShareMaker {
public:
    bool MakesBands() const override { return true; }
    // The cells of secret rows [y, y + rows) of the frame `secret`, into rows of cells CellPitch of
    // the share width apart, the first of them at `cells`. A frame's bands come top to bottom, each
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
