// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What stacked shares show, counted by the secret's colour: how dark the blocks over black and
// over white secret pixels are, and the figures papers derive from that (relative difference,
// light contrast, pixel errors, and the error against the secret once blocks are made grey).

#include <cstdint>
#include <optional>
#include <vector>

// Stacked blocks counted by the colour of their secret pixel and by their black subpixels.
class CDarknessHistogram {
public:
    explicit CDarknessHistogram(int subpixels);

    void Add(bool secretBlack, int blackSubpixels, std::uint64_t blocks)
    {
        m_counts[Index(secretBlack, blackSubpixels)] += blocks;
    }
    // The stacked blocks over one row of secret pixels (only 0 is black), `words` words a block;
    // their counts of black subpixels into `counts`, scaled to at most 127 (StackedCells).
    void AddRow(const std::uint8_t* secretRow, const std::uint64_t* stacked, int width, int words,
                std::uint8_t* counts);
    void Merge(const CDarknessHistogram& other);
    void Reset();

    int GetSubpixels() const { return m_nSubpixels; }
    std::uint64_t Blocks(bool secretBlack, int blackSubpixels) const
    {
        return m_counts[Index(secretBlack, blackSubpixels)];
    }
    std::uint64_t Pixels(bool secretBlack) const;
    // Mean share of black subpixels over the secret's pixels of that colour (h / m, l / m).
    std::optional<double> Darkness(bool secretBlack) const;

private:
    std::size_t Index(bool secretBlack, int blackSubpixels) const
    {
        return static_cast<std::size_t>(secretBlack) * static_cast<std::size_t>(m_nSubpixels + 1) +
               static_cast<std::size_t>(blackSubpixels);
    }

    int m_nSubpixels;
    std::vector<std::uint64_t> m_counts;
};

// The stacked picture as grey at the secret's size: a block of darkness `black` (the mean over the
// secret's black pixels) shows as 0, one of darkness `white` as 255, others in proportion,
// clamped to 0..255 and rounded to a whole grey.
struct GreyMapping {
    double black;
    double white;
    double Grey(double darkness) const;
};
// The mapping of the histogram's two darknesses, or nothing when a colour is missing or the two
// are equal.
std::optional<GreyMapping> MappingOf(const CDarknessHistogram& histogram);

// Darkness and contrast twice: over the m subpixels that carry the scheme (the papers' figures),
// and over the whole block as a viewer sees it, cells past m (white in every share) included.
struct ContrastFigures {
    std::optional<double> blackDarkness;  // h / m
    std::optional<double> whiteDarkness;  // l / m
    std::optional<double> alpha;          // (h - l) / m
    std::optional<double> beta;           // (T_white - T_black) / (1 + T_black), T = 1 - darkness
    std::optional<double> blockBlackDarkness;  // h / cells of the block
    std::optional<double> blockWhiteDarkness;
    std::optional<double> blockAlpha;          // (h - l) / cells of the block
    std::optional<double> blockBeta;
    // Secret pixels whose block is on the wrong side of the midpoint between the two darknesses;
    // a block at the midpoint counts half (a viewer can only guess).
    std::optional<double> errorRate;
    std::optional<double> meanSquaredError;  // against the secret (0, 255), through the mapping
};
// `schemeSubpixels` is m; the histogram's subpixels are the block's cells.
ContrastFigures ComputeContrast(const CDarknessHistogram& histogram, const std::optional<GreyMapping>& mapping,
                                int schemeSubpixels);

// 10 log10(255^2 / mse): infinite where the pictures are equal, nothing where the error is unknown.
std::optional<double> PeakSignalToNoise(const std::optional<double>& meanSquaredError);
