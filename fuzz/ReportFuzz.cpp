// SPDX-License-Identifier: GPL-3.0-or-later
// kvt measure's reports of any figures, NaN and infinities included, and of any file names: the JSON
// must stay JSON (Qt's parser takes it: no nan, no inf, strings escaped and UTF-8) and every CSV row
// must have as many cells as the header.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "FuzzInput.h"
#include "cli/MeasureReport.h"

namespace {
std::optional<double> MaybeDouble(CFuzzInput& input)
{
    if (input.Byte() & 1)
        return std::nullopt;
    return input.Double();
}

FrameFigures FiguresOf(CFuzzInput& input)
{
    FrameFigures figures;
    ContrastFigures& c = figures.contrast;
    for (std::optional<double>* value : {&c.blackDarkness, &c.whiteDarkness, &c.alpha, &c.beta, &c.blockBlackDarkness,
                                         &c.blockWhiteDarkness, &c.blockAlpha, &c.blockBeta, &c.errorRate,
                                         &c.meanSquaredError})
        *value = MaybeDouble(input);
    figures.ssim = MaybeDouble(input);
    figures.psnr = MaybeDouble(input);
    figures.crawl = MaybeDouble(input);
    return figures;
}

bool IsJson(const std::string& text)
{
    QJsonParseError error;
    QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    return error.error == QJsonParseError::NoError;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    MeasuredFiles files;
    files.secret = input.Text(16);
    files.shares = {input.Text(16), input.Text(16)};
    files.secretWidth = files.secretHeight = 1;
    files.block = BlockShape{input.Between(1, 4), input.Between(1, 4)};
    files.shareWidth = files.block.width;
    files.shareHeight = files.block.height;
    // Made once a block shape: its tables cost more than the reports.
    static std::array<std::unique_ptr<CShareMeasurement>, 16> made;
    auto& measurement = made[static_cast<std::size_t>(4 * (files.block.width - 1) + files.block.height - 1)];
    if (!measurement)
        measurement = std::make_unique<CShareMeasurement>(1, 1, files.block, 2, 2);
    MeasureResults results;
    results.measurement = measurement.get();
    results.stream = FiguresOf(input);
    for (int f = input.Between(0, 3); f > 0; --f)
        results.frames.push_back(FiguresOf(input));

    const std::string json = JsonReport(files, results);
    if (!IsJson(json))
        __builtin_trap();
    TextReport(files, results);
    const auto cells = [](const std::string& line) { return std::count(line.begin(), line.end(), ','); };
    const auto header = cells(CsvHeader(false));
    for (std::size_t f = 0; f < results.frames.size(); ++f)
        if (cells(CsvRow(f, results.frames[f], false)) != header)
            __builtin_trap();
    return 0;
}
