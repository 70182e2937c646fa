// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ChiSquare.h"

#include <boost/math/special_functions/gamma.hpp>

#include <cstddef>

std::optional<ChiSquareResult> TestIndependence(const std::vector<std::uint64_t>& first,
                                                const std::vector<std::uint64_t>& second)
{
    double total1 = 0, total2 = 0;
    int rows = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        total1 += static_cast<double>(first[i]);
        total2 += static_cast<double>(second[i]);
        rows += first[i] + second[i] > 0;
    }
    if (total1 == 0 || total2 == 0)
        return std::nullopt;
    const double total = total1 + total2;
    ChiSquareResult result;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const double row = static_cast<double>(first[i]) + static_cast<double>(second[i]);
        if (row == 0)
            continue;
        const double expected1 = row * total1 / total;
        const double expected2 = row * total2 / total;
        const double d1 = static_cast<double>(first[i]) - expected1;
        const double d2 = static_cast<double>(second[i]) - expected2;
        result.statistic += d1 * d1 / expected1 + d2 * d2 / expected2;
    }
    result.degreesOfFreedom = rows - 1;
    if (result.degreesOfFreedom > 0)
        result.pValue = boost::math::gamma_q(result.degreesOfFreedom / 2.0, result.statistic / 2);
    return result;
}
