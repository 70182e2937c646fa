// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/TemporalFigures.h"

CTemporalTally::CTemporalTally(int subpixels, int words, int shares)
    : m_nSubpixels(subpixels), m_nWords(words), m_nShares(shares)
{
}

// With b_j of the k shares black at subpixel j of m, p_j = b_j / k: a block's darkness is
// B1 / (k m), its flicker (k B1 - B2) / (k^2 m) and its texture (m B2 - B1^2) / (k^2 m^2), with
// B1 the sum of the b_j and B2 of their squares. The sums are kept in whole numbers, so that the
// figures come out the same in whatever order the blocks are counted (and a contrast between
// colours that are alike is exactly 0).
void CTemporalTally::AddBlock(bool secretBlack, const BlockPattern* const* shares, std::uint64_t count)
{
    std::uint64_t sum = 0, squares = 0;
    for (int j = 0; j < m_nSubpixels; ++j) {
        std::uint64_t black = 0;
        for (int s = 0; s < m_nShares; ++s)
            black += shares[s][j >> 6] >> (j & 63) & 1;
        sum += black;
        squares += black * black;
    }
    const auto k = static_cast<std::uint64_t>(m_nShares);
    const auto m = static_cast<std::uint64_t>(m_nSubpixels);
    Sums& s = m_sums[secretBlack];
    s.darkness += Wide{count} * sum;
    s.flicker += Wide{count} * (k * sum - squares);
    s.texture += Wide{count} * (m * squares - sum * sum);
    s.blocks += count;
}

void CTemporalTally::Merge(const CTemporalTally& other)
{
    for (int c = 0; c < 2; ++c) {
        m_sums[c].darkness += other.m_sums[c].darkness;
        m_sums[c].flicker += other.m_sums[c].flicker;
        m_sums[c].texture += other.m_sums[c].texture;
        m_sums[c].blocks += other.m_sums[c].blocks;
    }
}

void CTemporalTally::Reset()
{
    m_sums[0] = m_sums[1] = Sums{};
}

TemporalFigures CTemporalTally::Figures() const
{
    TemporalFigures f;
    f.frames = m_nShares;
    const auto k = static_cast<double>(m_nShares);
    const auto m = static_cast<double>(m_nSubpixels);
    auto mean = [&](bool black, Wide Sums::*part, double per) -> std::optional<double> {
        const Sums& s = m_sums[black];
        if (s.blocks == 0)
            return std::nullopt;
        return static_cast<double>(s.*part) / (per * static_cast<double>(s.blocks));
    };
    auto set = [&](Wide Sums::*part, double per, std::optional<double>& black, std::optional<double>& white,
                   std::optional<double>& contrast) {
        black = mean(true, part, per);
        white = mean(false, part, per);
        if (black && white)
            contrast = *black - *white;
    };
    set(&Sums::darkness, k * m, f.blackDarkness, f.whiteDarkness, f.meanContrast);
    set(&Sums::flicker, k * k * m, f.blackFlicker, f.whiteFlicker, f.flickerContrast);
    set(&Sums::texture, k * k * m * m, f.blackTexture, f.whiteTexture, f.textureContrast);
    return f;
}
