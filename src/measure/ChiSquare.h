// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pearson's chi-square test of independence on a table of counts with two columns.

#include <cstdint>
#include <optional>
#include <vector>

struct ChiSquareResult {
    double statistic = 0;
    int degreesOfFreedom = 0;
    double pValue = 1;  // chance of a statistic this large when the rows and columns are independent
};

// Rows are categories (rows counted in neither column are left out); `first` and `second` the two
// columns. Rows expecting fewer than 5 in either column are pooled in turn, a pool closed as soon
// as it expects 5, so that the chi-square law holds (which rows are pooled depends on the rows'
// totals alone, not on the columns' mix).
// Nothing when a column is empty: there is nothing to compare. One category alone gives statistic
// 0 with 0 degrees of freedom and p = 1.
std::optional<ChiSquareResult> TestIndependence(const std::vector<std::uint64_t>& first,
                                                const std::vector<std::uint64_t>& second);
