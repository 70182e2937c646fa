// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ChiSquare.h"

#include <boost/math/special_functions/gamma.hpp>

#include <algorithm>
#include <cstddef>

std::optional<ChiSquareResult> TestIndependence(const std::vector<std::uint64_t>& first,
                                                const std::vector<std::uint64_t>& second)
{
    double total1 = 0, total2 = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        total1 += static_cast<double>(first[i]);
        total2 += static_cast<double>(second[i]);
    }
    if (total1 == 0 || total2 == 0)
        return std::nullopt;
    const double total = total1 + total2;
    ChiSquareResult result;
    auto addRow = [&](double in1, double in2) {
        const double row = in1 + in2;
        const double d1 = in1 - row * total1 / total;
        const double d2 = in2 - row * total2 / total;
        result.statistic += d1 * d1 / (row * total1 / total) + d2 * d2 / (row * total2 / total);
    };
    constexpr double kLeastExpected = 5;
    const double smallerColumn = std::min(total1, total2);
    double pooled1 = 0, pooled2 = 0;
    int rows = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const auto in1 = static_cast<double>(first[i]);
        const auto in2 = static_cast<double>(second[i]);
        if (in1 + in2 == 0)
            continue;
        if ((in1 + in2) * smallerColumn / total < kLeastExpected) {
            pooled1 += in1;
            pooled2 += in2;
            if ((pooled1 + pooled2) * smallerColumn / total >= kLeastExpected) {
                addRow(pooled1, pooled2);
                ++rows;
                pooled1 = pooled2 = 0;
            }
            continue;
        }
        addRow(in1, in2);
        ++rows;
    }
    // The last few sparse rows, too few for a row of their own.
    if (pooled1 + pooled2 > 0) {
        addRow(pooled1, pooled2);
        ++rows;
    }
    result.degreesOfFreedom = rows - 1;
    if (result.degreesOfFreedom > 0)
        result.pValue = boost::math::gamma_q(result.degreesOfFreedom / 2.0, result.statistic / 2);
    return result;
}
