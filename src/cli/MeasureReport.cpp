// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MeasureReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {
using Figure = std::optional<double>;

struct FigureColumn {
    const char* label;
    const char* key;
    Figure (*get)(const FrameFigures&);
};
constexpr FigureColumn kFigures[] = {
    {"h/m (black)", "black_darkness", [](const FrameFigures& f) { return f.contrast.blackDarkness; }},
    {"l/m (white)", "white_darkness", [](const FrameFigures& f) { return f.contrast.whiteDarkness; }},
    {"alpha", "alpha", [](const FrameFigures& f) { return f.contrast.alpha; }},
    {"beta", "beta", [](const FrameFigures& f) { return f.contrast.beta; }},
    {"error rate", "error_rate", [](const FrameFigures& f) { return f.contrast.errorRate; }},
    {"SSIM", "ssim", [](const FrameFigures& f) { return f.ssim; }},
    {"PSNR (dB)", "psnr_db", [](const FrameFigures& f) { return f.psnr; }},
    {"MSE", "mse", [](const FrameFigures& f) { return f.contrast.meanSquaredError; }},
    {"crawl", "crawl", [](const FrameFigures& f) { return f.crawl; }},
};

struct Spread {
    Figure min, median, max;
};

Spread SpreadOf(const std::vector<FrameFigures>& frames, const FigureColumn& column)
{
    std::vector<double> values;
    for (const FrameFigures& frame : frames)
        if (const Figure v = column.get(frame))
            values.push_back(*v);
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    const double median = values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
    return {values.front(), median, values.back()};
}

std::string Printf(const char* format, auto... values)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// Enough digits that 1/3 and 1/5 read as such; "-" where there is no value.
std::string Number(const Figure& v, int width = 10)
{
    return v ? Printf("%*.4f", width, *v) : Printf("%*s", width, "-");
}

std::string JsonNumber(const Figure& v)
{
    return v && std::isfinite(*v) ? Printf("%.10g", *v) : "null";
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (static_cast<unsigned char>(c) < 0x20)
            out += Printf("\\u%04x", static_cast<unsigned>(c));
        else
            out += c;
    }
    return out + '"';
}

std::string ShareList(const std::vector<int>& shares, const char* separator)
{
    std::string list;
    for (const int s : shares)
        list += (list.empty() ? "" : separator) + std::to_string(s + 1);
    return list;
}

// What the leak tests count.
std::string PatternUnits(BlockShape block)
{
    if (block.Subpixels() == 1)
        return "patterns of 2 x 2 windows of pixels over secret pixels of one colour";
    const std::string shape = std::to_string(block.width) + " x " + std::to_string(block.height) + " blocks";
    return block.Subpixels() > CLeakTest::kMaxPatternBits ? "black subpixels of " + shape : "patterns of " + shape;
}

std::string FigureObject(const FrameFigures& figures)
{
    std::string out = "{";
    for (const FigureColumn& column : kFigures)
        out += std::string(out.size() > 1 ? ", " : "") + '"' + column.key + "\": " + JsonNumber(column.get(figures));
    return out + "}";
}

std::string SpreadObject(const std::vector<FrameFigures>& frames, Figure Spread::*part)
{
    std::string out = "{";
    for (const FigureColumn& column : kFigures)
        out += std::string(out.size() > 1 ? ", " : "") + '"' + column.key +
               "\": " + JsonNumber(SpreadOf(frames, column).*part);
    return out + "}";
}
}  // namespace

std::string TextReport(const MeasuredFiles& files, const MeasureResults& results)
{
    std::string out = Printf("secret  %s: %d x %d, %zu frame%s measured\n", files.secret.c_str(), files.secretWidth,
                             files.secretHeight, results.frames.size(), results.frames.size() == 1 ? "" : "s");
    out += Printf("shares  %zu of %d x %d: block %d x %d, m = %d\n\n", files.shares.size(), files.shareWidth,
                  files.shareHeight, files.block.width, files.block.height, files.block.Subpixels());
    // Wide enough that an MSE of up to 65025 keeps a space before it.
    out += Printf("%-14s%12s%12s%12s%12s\n", "", "stream", "min", "median", "max");
    for (const FigureColumn& column : kFigures) {
        const Spread spread = SpreadOf(results.frames, column);
        out += Printf("%-14s", column.label) + Number(column.get(results.stream), 12) + Number(spread.min, 12) +
               Number(spread.median, 12) + Number(spread.max, 12) + '\n';
    }
    out += "\nsecurity: " + PatternUnits(files.block) + " against the secret's colour\n";
    out += Printf("%-10s%10s%10s%14s%6s%12s\n", "shares", "h/m", "l/m", "chi-square", "df", "p-value");
    for (const StackLeakTest& leak : *results.leakTests) {
        out += Printf("%-10s", ShareList(leak.shares, "+").c_str()) + Number(leak.test.Darkness(true)) +
               Number(leak.test.Darkness(false));
        if (const auto chi = leak.test.Test()) {
            out += Printf("%14.2f%6d%12.4g", chi->statistic, chi->degreesOfFreedom, chi->pValue);
            if (chi->pValue < kLeakPValue)
                out += "  LEAKS";
        } else {
            out += "  (no test: the secret has one colour)";
        }
        out += '\n';
    }
    return out;
}

std::string JsonReport(const MeasuredFiles& files, const MeasureResults& results)
{
    std::string shares;
    for (const std::string& share : files.shares)
        shares += (shares.empty() ? "" : ", ") + JsonString(share);
    std::string out = "{\n";
    out += "  \"secret\": {\"file\": " + JsonString(files.secret) + Printf(", \"width\": %d, \"height\": %d},\n",
                                                                        files.secretWidth, files.secretHeight);
    out += "  \"shares\": {\"files\": [" + shares +
           Printf("], \"width\": %d, \"height\": %d},\n", files.shareWidth, files.shareHeight);
    out += Printf("  \"block\": {\"width\": %d, \"height\": %d, \"subpixels\": %d},\n", files.block.width,
                  files.block.height, files.block.Subpixels());
    out += Printf("  \"frames\": %zu,\n  \"grey_pixels\": %llu,\n", results.frames.size(),
                  static_cast<unsigned long long>(files.greyPixels));
    out += "  \"stream\": " + FigureObject(results.stream) + ",\n";
    out += "  \"frames_min\": " + SpreadObject(results.frames, &Spread::min) + ",\n";
    out += "  \"frames_median\": " + SpreadObject(results.frames, &Spread::median) + ",\n";
    out += "  \"frames_max\": " + SpreadObject(results.frames, &Spread::max) + ",\n";
    out += "  \"security_units\": " + JsonString(PatternUnits(files.block)) + ",\n  \"security\": [";
    const char* separator = "\n";
    for (const StackLeakTest& leak : *results.leakTests) {
        const auto chi = leak.test.Test();
        out += separator;
        separator = ",\n";
        out += "    {\"shares\": [" + ShareList(leak.shares, ", ") + "], \"black_darkness\": " +
               JsonNumber(leak.test.Darkness(true)) + ", \"white_darkness\": " + JsonNumber(leak.test.Darkness(false)) +
               ", \"chi_square\": " + JsonNumber(chi ? Figure(chi->statistic) : std::nullopt) +
               ", \"degrees_of_freedom\": " + (chi ? std::to_string(chi->degreesOfFreedom) : "null") +
               ", \"p_value\": " + JsonNumber(chi ? Figure(chi->pValue) : std::nullopt) +
               ", \"leaks\": " + (chi && chi->pValue < kLeakPValue ? "true" : "false") + "}";
    }
    out += "\n  ]\n}\n";
    return out;
}

std::string CsvHeader()
{
    std::string line = "frame";
    for (const FigureColumn& column : kFigures)
        line += std::string(",") + column.key;
    return line + '\n';
}

std::string CsvRow(std::size_t index, const FrameFigures& figures)
{
    std::string line = std::to_string(index);
    for (const FigureColumn& column : kFigures) {
        const Figure v = column.get(figures);
        line += ',' + (v && std::isfinite(*v) ? Printf("%.10g", *v) : "");
    }
    return line + '\n';
}
