// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/TemporalFigures.h"

CTemporalTally::CTemporalTally(int subpixels, int words, int shares)
    : m_nSubpixels(subpixels), m_nWords(words), m_nShares(shares)
{
}

void CTemporalTally::AddBlock(bool secretBlack, const BlockPattern* const* shares, std::uint64_t count)
{
    double sum = 0, squares = 0, variance = 0;
    for (int j = 0; j < m_nSubpixels; ++j) {
        int black = 0;
        for (int s = 0; s < m_nShares; ++s)
            black += static_cast<int>(shares[s][j >> 6] >> (j & 63) & 1);
        const double p = static_cast<double>(black) / m_nShares;
        sum += p;
        squares += p * p;
        variance += p * (1 - p);
    }
    const double darkness = sum / m_nSubpixels;
    Sums& s = m_sums[secretBlack];
    const auto weight = static_cast<double>(count);
    s.darkness += weight * darkness;
    s.flicker += weight * variance / m_nSubpixels;
    s.texture += weight * (squares / m_nSubpixels - darkness * darkness);
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
    auto mean = [&](bool black, double Sums::*part) -> std::optional<double> {
        const Sums& s = m_sums[black];
        if (s.blocks == 0)
            return std::nullopt;
        return s.*part / static_cast<double>(s.blocks);
    };
    auto set = [&](double Sums::*part, std::optional<double>& black, std::optional<double>& white,
                   std::optional<double>& contrast) {
        black = mean(true, part);
        white = mean(false, part);
        if (black && white)
            contrast = *black - *white;
    };
    set(&Sums::darkness, f.blackDarkness, f.whiteDarkness, f.meanContrast);
    set(&Sums::flicker, f.blackFlicker, f.whiteFlicker, f.flickerContrast);
    set(&Sums::texture, f.blackTexture, f.whiteTexture, f.textureContrast);
    return f;
}
