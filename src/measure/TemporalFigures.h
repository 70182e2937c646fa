// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a viewer sees who is shown k shares one after another, a frame each, and takes them in
// together (the eye integrating k consecutive frames of interlaced shares): each subpixel's mean
// over the k frames, and how that differs between black and white secret pixels. Stacking plays
// no part: the shares are seen, not laid on each other.

#include <cstdint>
#include <optional>

#include "measure/BlockPatterns.h"

struct TemporalFigures {
    int frames = 0;  // k, the shares taken in together
    // Mean darkness of the blocks over the k frames, over black and white secret pixels; their
    // difference is the mean contrast (0 where every share is as dark over either colour).
    std::optional<double> blackDarkness, whiteDarkness, meanContrast;
    // Flicker: a subpixel's variance in time, p (1 - p) for a subpixel black in a share p of the
    // frames, averaged over the block's subpixels; contrast black minus white.
    std::optional<double> blackFlicker, whiteFlicker, flickerContrast;
    // Texture: the variance across the block of the subpixels' time-averaged darkness; contrast
    // black minus white.
    std::optional<double> blackTexture, whiteTexture, textureContrast;
};

class CTemporalTally {
public:
    CTemporalTally(int subpixels, int words, int shares);

    // `count` blocks over secret pixels of one colour whose shares' patterns are `shares`.
    void AddBlock(bool secretBlack, const BlockPattern* const* shares, std::uint64_t count = 1);
    void Merge(const CTemporalTally& other);
    void Reset();
    TemporalFigures Figures() const;

private:
    // Whole numbers of up to about 2^116 (blocks of a long stream times a block's figure).
    __extension__ typedef unsigned __int128 Wide;
    struct Sums {
        Wide darkness = 0, flicker = 0, texture = 0;  // over k m, k^2 m and k^2 m^2 (see AddBlock)
        std::uint64_t blocks = 0;
    };
    int m_nSubpixels;
    int m_nWords;
    int m_nShares;
    Sums m_sums[2];  // [secret black]
};
