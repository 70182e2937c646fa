#pragma once
// Whether shares, alone or stacked a few together, tell anything about the secret: their block
// patterns counted by the colour of the secret pixel beneath, and how dark they are over each
// colour. A share that hides its secret shows the same mix of patterns over black and white.

#include <cstdint>
#include <optional>
#include <vector>

#include "vss/BlockPatterns.h"
#include "vss/ChiSquare.h"

// A chi-square p-value under this says the patterns depend on the secret's colour.
inline constexpr double kLeakPValue = 0.001;

class CLeakTest {
public:
    // Up to this many subpixels a pattern is its own category; larger blocks are categorised by
    // their count of black subpixels.
    static constexpr int kMaxPatternBits = 16;

    // `patternBits`: subpixels in the units whose patterns are counted.
    explicit CLeakTest(int patternBits);

    void AddPattern(bool secretBlack, BlockPattern pattern);
    // Darkness is counted per secret pixel, also where patterns are counted over windows.
    void AddDarkness(bool secretBlack, int blackSubpixels, int subpixels)
    {
        m_blackSubpixels[secretBlack] += static_cast<std::uint64_t>(blackSubpixels);
        m_subpixels[secretBlack] += static_cast<std::uint64_t>(subpixels);
    }

    // Share of black subpixels over the secret's pixels of that colour.
    std::optional<double> Darkness(bool secretBlack) const;
    // Nothing when the secret had only one colour beneath the patterns.
    std::optional<ChiSquareResult> Test() const { return TestIndependence(m_overBlack, m_overWhite); }

private:
    bool m_bByCount;
    std::vector<std::uint64_t> m_overBlack;
    std::vector<std::uint64_t> m_overWhite;
    std::uint64_t m_blackSubpixels[2] = {0, 0};
    std::uint64_t m_subpixels[2] = {0, 0};
};
