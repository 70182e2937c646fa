// SPDX-License-Identifier: GPL-3.0-or-later
// kvt measure's reports of figures no measurement gives but a reader must still read back.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "cli/MeasureReport.h"
#include "measure/ShareMeasurement.h"

TEST(MeasureReport, FiguresNextToTheLargestDoubleReadBackFinite)
{
    const CShareMeasurement measurement(1, 1, BlockShape{1, 1}, 2, 2);
    FrameFigures figures;
    figures.contrast.alpha = -DBL_MAX;  // ten digits would round it to -1.797693135e+308: past the range
    MeasureResults results;
    results.measurement = &measurement;
    results.stream = figures;
    const std::string json = JsonReport(MeasuredFiles{}, results);
    const std::string key = "\"alpha\": ";
    const std::size_t at = json.find(key);
    ASSERT_NE(at, std::string::npos) << json;
    EXPECT_EQ(std::strtod(json.c_str() + at + key.size(), nullptr), -DBL_MAX);
    const std::string row = CsvRow(0, figures, false);
    EXPECT_NE(row.find("-1.7976931348623157e+308"), std::string::npos) << row;
}
