// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/GridColumns.h"

#include <bit>
#include <numeric>

namespace {
unsigned AllShares(int n)
{
    return (1u << n) - 1;
}

std::int64_t Choose(int n, int k)
{
    std::int64_t c = 1;
    for (int i = 0; i < k; ++i)
        c = c * (n - i) / (i + 1);
    return c;
}

// The columns whose chance depends on their weight alone, chance[w] for a column of weight w out
// of `total`: each column as often as its chance asks, in the fewest copies.
Columns ColumnsByWeight(int n, const std::vector<std::int64_t>& count, const std::vector<std::int64_t>& otherCount)
{
    // Copies of a column of weight w: count[w] * scale / C(n, w), whole for both colours.
    std::int64_t scale = 1;
    for (const auto* counts : {&count, &otherCount})
        for (int w = 0; w <= n; ++w)
            scale = std::lcm(scale, Choose(n, w) / std::gcd((*counts)[static_cast<std::size_t>(w)], Choose(n, w)));
    std::int64_t common = 0;
    for (const auto* counts : {&count, &otherCount})
        for (int w = 0; w <= n; ++w)
            common = std::gcd(common, (*counts)[static_cast<std::size_t>(w)] * scale / Choose(n, w));
    Columns columns;
    for (unsigned c = 0; c <= AllShares(n); ++c) {
        const int w = std::popcount(c);
        const std::int64_t copies = count[static_cast<std::size_t>(w)] * scale / Choose(n, w) / common;
        columns.insert(columns.end(), static_cast<std::size_t>(copies), static_cast<std::uint8_t>(c));
    }
    return columns;
}
}  // namespace

Columns ColumnsOfParity(int n, bool odd)
{
    Columns columns;
    for (unsigned c = 0; c <= AllShares(n); ++c)
        if ((std::popcount(c) % 2 == 1) == odd)
            columns.push_back(static_cast<std::uint8_t>(c));
    return columns;
}

ColumnLists ChenTsaoColumns(int k, int n)
{
    ColumnLists lists;
    for (unsigned carriers = 0; carriers <= AllShares(n); ++carriers) {
        if (std::popcount(carriers) != k)
            continue;
        for (unsigned c = 0; c <= AllShares(n); ++c) {
            const bool odd = std::popcount(c & carriers) % 2 == 1;
            (odd ? lists.black : lists.white).push_back(static_cast<std::uint8_t>(c));
        }
    }
    return lists;
}

ColumnLists WuSunColumns(int k, int n)
{
    // How many of the equally likely (grid, copies) draws give each weight; the random order of the
    // shares then spreads a weight evenly over its columns.
    std::vector<std::int64_t> count[2] = {std::vector<std::int64_t>(static_cast<std::size_t>(n + 1)),
                                          std::vector<std::int64_t>(static_cast<std::size_t>(n + 1))};
    std::int64_t copyDraws = 1;
    for (int i = k; i < n; ++i)
        copyDraws *= k;
    for (unsigned grid = 0; grid <= AllShares(k); ++grid) {
        const int colour = std::popcount(grid) % 2;  // odd: the grid of a black pixel
        for (std::int64_t draw = 0; draw < copyDraws; ++draw) {
            int weight = std::popcount(grid);
            for (std::int64_t rest = draw, i = k; i < n; ++i, rest /= k)
                weight += static_cast<int>(grid >> (rest % k) & 1);
            ++count[colour][static_cast<std::size_t>(weight)];
        }
    }
    return {ColumnsByWeight(n, count[0], count[1]), ColumnsByWeight(n, count[1], count[0])};
}

ColumnLists ProgressiveColumns(int n)
{
    ColumnLists lists;
    lists.white.assign(static_cast<std::size_t>(n), 0);
    lists.white[0] = static_cast<std::uint8_t>(AllShares(n));
    for (int i = 0; i < n; ++i)
        lists.black.push_back(static_cast<std::uint8_t>(1u << i));
    return lists;
}
