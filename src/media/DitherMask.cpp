// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/DitherMask.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

CDitherMask::CDitherMask(int side, const std::vector<int>& ranks)
    : m_side(side), m_thresholds(ranks.size())
{
    assert(side > 0 && (side & (side - 1)) == 0 && ranks.size() == static_cast<std::size_t>(side) * side);
    // Rank r stands for the grey 255 * (r + 1/2) / cells: white from the first grey above it. Grey 0
    // is then black and grey 255 white under every rank.
    const long long cells = static_cast<long long>(side) * side;
    for (std::size_t i = 0; i < ranks.size(); ++i)
        m_thresholds[i] = static_cast<std::uint8_t>(255 * (2LL * ranks[i] + 1) / (2 * cells) + 1);
}

const CDitherMask& BayerMask()
{
    static const CDitherMask mask = [] {
        // Each doubling puts four copies of the smaller matrix in the order 0 2 / 3 1.
        std::vector<int> ranks{0};
        for (int side = 1; side < 8; side *= 2) {
            std::vector<int> larger(static_cast<std::size_t>(4 * side * side));
            for (int y = 0; y < 2 * side; ++y) {
                for (int x = 0; x < 2 * side; ++x) {
                    static constexpr int kQuadrant[2][2] = {{0, 2}, {3, 1}};
                    larger[y * 2 * side + x] = 4 * ranks[(y % side) * side + x % side] + kQuadrant[y / side][x / side];
                }
            }
            ranks = std::move(larger);
        }
        return CDitherMask(8, ranks);
    }();
    return mask;
}

namespace {
// A binary pattern on a torus with, at every cell, the Gaussian-weighted count of the set cells
// around it: high where set cells cluster, low in voids.
class CPatternEnergy {
public:
    explicit CPatternEnergy(int side)
        : m_side(side), m_kernel(4 * Cells()), m_set(Cells(), 0), m_energy(Cells(), 0.0)
    {
        // The kernel tiled twice each way, so that a shifted row reads on without wrapping.
        constexpr double kSigma = 1.5;
        for (int dy = 0; dy < 2 * side; ++dy) {
            for (int dx = 0; dx < 2 * side; ++dx) {
                const int wy = std::min(dy % side, side - dy % side);
                const int wx = std::min(dx % side, side - dx % side);
                m_kernel[dy * 2 * side + dx] = std::exp(-(wx * wx + wy * wy) / (2 * kSigma * kSigma));
            }
        }
    }

    std::size_t Cells() const { return static_cast<std::size_t>(m_side) * m_side; }
    bool IsSet(std::size_t cell) const { return m_set[cell] != 0; }

    void Set(std::size_t cell, bool set)
    {
        m_set[cell] = set ? 1 : 0;
        const double sign = set ? 1.0 : -1.0;
        const int cy = static_cast<int>(cell) / m_side;
        const int cx = static_cast<int>(cell) % m_side;
        for (int y = 0; y < m_side; ++y) {
            const double* kernelRow = &m_kernel[(y - cy + m_side) * 2 * m_side + m_side - cx];
            double* energyRow = &m_energy[y * m_side];
            for (int x = 0; x < m_side; ++x)
                energyRow[x] += sign * kernelRow[x];
        }
    }

    // The set cell with the most energy around it.
    std::size_t TightestCluster() const { return Extreme(true, [](double a, double b) { return a > b; }); }
    // The clear cell with the least energy around it.
    std::size_t LargestVoid() const { return Extreme(false, [](double a, double b) { return a < b; }); }

private:
    template <typename Better>
    std::size_t Extreme(bool set, Better better) const
    {
        std::size_t best = Cells();
        for (std::size_t cell = 0; cell < Cells(); ++cell) {
            if (IsSet(cell) == set && (best == Cells() || better(m_energy[cell], m_energy[best])))
                best = cell;
        }
        return best;
    }

    int m_side;
    std::vector<double> m_kernel;
    std::vector<char> m_set;
    std::vector<double> m_energy;
};
}  // namespace

std::vector<int> VoidAndClusterRanks(int side)
{
    CPatternEnergy pattern(side);
    const std::size_t cells = pattern.Cells();
    const std::size_t initialPoints = std::max<std::size_t>(1, cells / 10);

    // A fixed start, so the mask is the same on every run.
    std::uint32_t state = 0x2545F491u;
    for (std::size_t placed = 0; placed < initialPoints;) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t cell = state % cells;
        if (!pattern.IsSet(cell)) {
            pattern.Set(cell, true);
            ++placed;
        }
    }
    // Even the start out: move the tightest cluster's point into the largest void until it would land
    // where it came from (bounded, though it settles long before).
    for (std::size_t step = 0; step < cells; ++step) {
        const std::size_t cluster = pattern.TightestCluster();
        pattern.Set(cluster, false);
        const std::size_t hole = pattern.LargestVoid();
        pattern.Set(hole, true);
        if (hole == cluster)
            break;
    }

    std::vector<int> ranks(cells);
    CPatternEnergy removing = pattern;
    for (std::size_t rank = initialPoints; rank-- > 0;) {
        const std::size_t cluster = removing.TightestCluster();
        removing.Set(cluster, false);
        ranks[cluster] = static_cast<int>(rank);
    }
    // Past half the cells the minority turns to the clear cells, whose tightest cluster is, with a
    // linear filter, the same cell as the set cells' largest void: one loop fills to the end.
    for (std::size_t rank = initialPoints; rank < cells; ++rank) {
        const std::size_t hole = pattern.LargestVoid();
        pattern.Set(hole, true);
        ranks[hole] = static_cast<int>(rank);
    }
    return ranks;
}

const CDitherMask& BlueNoiseMask()
{
    static const CDitherMask mask(64, VoidAndClusterRanks(64));
    return mask;
}
