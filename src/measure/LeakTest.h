// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether shares, alone, together or across frames, tell anything about the secret: what they show
// (a block pattern, a tuple of patterns, a count of black subpixels) counted in two columns (the
// secret pixel black or white; for frames, the pixel changed colour or kept it) and a chi-square
// test that the columns hold the same mix. Shares that hide their secret show the same mix in both.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "measure/BlockPatterns.h"
#include "measure/ChiSquare.h"

// The chance, over all the tests of one measurement, of calling sound shares leaky: each test
// leaks where its p-value is under this divided by the number of tests (Bonferroni).
inline constexpr double kLeakPValue = 0.001;
double LeakThreshold(std::size_t testCount);

// What a leak test counts for each secret pixel.
enum class LeakView {
    Alone,         // one share's block pattern
    Joint,         // the tuple of several shares' patterns, each share's as it is
    Stacked,       // the patterns of several shares stacked (black wins)
    AcrossFrames,  // the subpixels of one share's block that changed since the previous frame;
                   // columns: the secret pixel changed colour, or kept it
};

// How patterns become the rows of the table.
enum class LeakCategories {
    Patterns,    // each pattern its own row up to 16 bits; beyond, a 64-bit hash in 65536 rows
    BlackCount,  // the count of black subpixels
};

class CLeakTest {
public:
    static constexpr int kExactBits = 16;
    static constexpr int kHashedBits = 16;

    // Patterns of `partBits` bits a part (a share's block, or its 2 x 2 window of pixels), `parts`
    // of them side by side.
    CLeakTest(LeakCategories by, int partBits, int parts);

    LeakCategories GetCategories() const { return m_by; }
    // The row of the parts' patterns, `words` words each (only the first for exact rows).
    std::size_t Category(const BlockPattern* const* parts, int words) const
    {
        return m_bExactSingle ? static_cast<std::size_t>(parts[0][0]) : SlowCategory(parts, words);
    }
    // The row of one pattern of a single part.
    std::size_t Category(const BlockPattern* pattern, int words) const { return Category(&pattern, words); }
    // Whether a single part's pattern is its row; the rows of a column then, for counting in bulk.
    bool RowIsPattern() const { return m_bExactSingle; }
    std::uint64_t* Rows(bool firstColumn) { return m_counts[firstColumn].data(); }
    void Add(bool firstColumn, std::size_t category, std::uint64_t count = 1)
    {
        m_counts[firstColumn][category] += count;
    }
    // Black subpixels of so many over secret pixels of one colour, for the darkness.
    void AddDarkness(bool secretBlack, std::uint64_t blackSubpixels, std::uint64_t subpixels)
    {
        m_blackSubpixels[secretBlack] += blackSubpixels;
        m_subpixels[secretBlack] += subpixels;
    }

    // Adds the counts of a test of the same kind (a part of the pixels counted elsewhere).
    void Merge(const CLeakTest& other)
    {
        for (int column = 0; column < 2; ++column) {
            for (std::size_t i = 0; i < m_counts[column].size(); ++i)
                m_counts[column][i] += other.m_counts[column][i];
            m_blackSubpixels[column] += other.m_blackSubpixels[column];
            m_subpixels[column] += other.m_subpixels[column];
        }
    }
    void Reset()
    {
        for (auto& counts : m_counts)
            std::fill(counts.begin(), counts.end(), 0);
        m_blackSubpixels[0] = m_blackSubpixels[1] = m_subpixels[0] = m_subpixels[1] = 0;
    }

    // Share of black subpixels over the secret's pixels of that colour; nothing where none was added.
    std::optional<double> Darkness(bool secretBlack) const;
    // Nothing when either column is empty.
    std::optional<ChiSquareResult> Test() const { return TestIndependence(m_counts[1], m_counts[0]); }

private:
    std::size_t SlowCategory(const BlockPattern* const* parts, int words) const;

    LeakCategories m_by;
    int m_nPartBits;
    int m_nParts;
    bool m_bHashed;
    bool m_bExactSingle;  // one part's pattern is its row
    std::vector<std::uint64_t> m_counts[2];  // [first column][category]
    std::uint64_t m_blackSubpixels[2] = {0, 0};
    std::uint64_t m_subpixels[2] = {0, 0};
};
