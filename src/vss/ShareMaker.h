// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shares of a secret frame, one frame at a time, by a scheme of the catalogue. Frames are rows
// at a stride of whole 4-byte words; the shares' alignment bytes are never written.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vss/SchemeCatalogue.h"

class CRandomSource;

// The shape of a secret frame and of its shares.
struct ShareGeometry {
    std::size_t width = 0;    // secret pixels a row
    std::size_t height = 0;
    int blockWidth = 1;       // share cells a secret pixel becomes
    int blockHeight = 1;

    static std::size_t StrideOf(std::size_t width) { return (width + 3) / 4 * 4; }
    std::size_t SecretStride() const { return StrideOf(width); }
    std::size_t ShareWidth() const { return width * static_cast<std::size_t>(blockWidth); }
    std::size_t ShareHeight() const { return height * static_cast<std::size_t>(blockHeight); }
    std::size_t ShareStride() const { return StrideOf(ShareWidth()); }
};

class CShareMaker {
public:
    virtual ~CShareMaker() = default;
    // Writes the n shares of one secret frame (only 0 is black) into shares[0..n). False when the
    // random source runs dry, with the shares partly written.
    virtual bool Make(const std::uint8_t* secret, std::uint8_t* const* shares) = 0;

    // Whether MakeBand makes a frame's shares a band of rows at a time, so that no whole share
    // need be held; otherwise a band is the whole frame.
    virtual bool MakesBands() const { return false; }
    // The shares of secret rows [y, y + rows) of the frame `secret`, into shares[i] pointing at the
    // first of those blocks' rows of share i (at the share stride). A frame's bands come top to
    // bottom, each once. False as Make.
    virtual bool MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows, std::uint8_t* const* shares)
    {
        (void)y;
        (void)rows;
        return Make(secret, shares);
    }
};

// A maker of `scheme`'s shares of width x height secret frames, drawing from `random` (which must
// outlive it); null when its tables can't be had.
std::unique_ptr<CShareMaker> MakeShareMaker(const Scheme& scheme, std::size_t width, std::size_t height,
                                            CRandomSource& random);
