// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MeasureReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
    {"block black", "block_black_darkness", [](const FrameFigures& f) { return f.contrast.blockBlackDarkness; }},
    {"block white", "block_white_darkness", [](const FrameFigures& f) { return f.contrast.blockWhiteDarkness; }},
    {"block alpha", "block_alpha", [](const FrameFigures& f) { return f.contrast.blockAlpha; }},
    {"block beta", "block_beta", [](const FrameFigures& f) { return f.contrast.blockBeta; }},
    {"error rate", "error_rate", [](const FrameFigures& f) { return f.contrast.errorRate; }},
    {"SSIM", "ssim", [](const FrameFigures& f) { return f.ssim; }},
    {"PSNR (dB)", "psnr_db", [](const FrameFigures& f) { return f.psnr; }},
    {"MSE", "mse", [](const FrameFigures& f) { return f.contrast.meanSquaredError; }},
    {"crawl", "crawl", [](const FrameFigures& f) { return f.crawl; }},
};

// What a viewer sees who takes in the shares shown one after another (--temporal).
template <std::optional<double> TemporalFigures::*Part>
std::optional<double> TemporalPart(const FrameFigures& f)
{
    return f.temporal ? (*f.temporal).*Part : std::nullopt;
}
constexpr FigureColumn kTemporalFigures[] = {
    {"seen black", "seen_black_darkness", TemporalPart<&TemporalFigures::blackDarkness>},
    {"seen white", "seen_white_darkness", TemporalPart<&TemporalFigures::whiteDarkness>},
    {"mean contr.", "seen_mean_contrast", TemporalPart<&TemporalFigures::meanContrast>},
    {"flicker blk", "flicker_black", TemporalPart<&TemporalFigures::blackFlicker>},
    {"flicker wht", "flicker_white", TemporalPart<&TemporalFigures::whiteFlicker>},
    {"flicker contr.", "flicker_contrast", TemporalPart<&TemporalFigures::flickerContrast>},
    {"texture blk", "texture_black", TemporalPart<&TemporalFigures::blackTexture>},
    {"texture wht", "texture_white", TemporalPart<&TemporalFigures::whiteTexture>},
    {"texture contr.", "texture_contrast", TemporalPart<&TemporalFigures::textureContrast>},
};

// The figures a report holds: the temporal ones only where asked for.
std::vector<FigureColumn> Columns(bool temporal)
{
    std::vector<FigureColumn> columns(std::begin(kFigures), std::end(kFigures));
    if (temporal)
        columns.insert(columns.end(), std::begin(kTemporalFigures), std::end(kTemporalFigures));
    return columns;
}

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

// Ten digits, or all seventeen where ten would round past the largest double and read back as
// infinity; empty for no figure, NaN or infinity.
std::string FigureText(const Figure& v)
{
    if (!v || !std::isfinite(*v))
        return {};
    const std::string text = Printf("%.10g", *v);
    return std::isinf(std::strtod(text.c_str(), nullptr)) ? Printf("%.17g", *v) : text;
}

std::string JsonNumber(const Figure& v)
{
    const std::string text = FigureText(v);
    return text.empty() ? "null" : text;
}

// Bytes of the well-formed UTF-8 sequence at `at` (no overlong form, surrogate or code point past
// U+10FFFF), or 0.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[at + i]);
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// JSON is UTF-8: a file name's bytes that are not (a Latin-1 name) show as U+FFFD.
std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const std::size_t length = Utf8SequenceAt(text, at);
        if (length == 0)
            out += "\\ufffd";
        else if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (static_cast<unsigned char>(c) < 0x20)
            out += Printf("\\u%04x", static_cast<unsigned>(c));
        else
            out.append(text, at, length);
        at += std::max<std::size_t>(length, 1);
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

const char* ViewName(LeakView view)
{
    switch (view) {
    case LeakView::Joint: return "joint";
    case LeakView::Stacked: return "stacked";
    case LeakView::AcrossFrames: return "frames";
    case LeakView::Alone: break;
    }
    return "alone";
}

// What a test's rows are.
std::string RowsOf(const SharesLeakTest& leak, BlockShape block)
{
    if (leak.test.GetCategories() == LeakCategories::BlackCount)
        return "black count";
    if (leak.view == LeakView::AcrossFrames)
        return "changes";
    return block.Subpixels() == 1 ? "windows" : "patterns";
}

// What the leak tests count.
std::string PatternUnits(BlockShape block)
{
    const std::string shape = std::to_string(block.width) + " x " + std::to_string(block.height) + " blocks";
    return (block.Subpixels() == 1 ? "patterns of 2 x 2 windows of pixels over secret pixels of one colour"
                                   : "patterns of " + shape) +
           " against the secret's colour; frames: each share's changed subpixels from a frame to the next "
           "against whether the secret pixel changed";
}

std::string FigureObject(const FrameFigures& figures, bool temporal)
{
    std::string out = "{";
    for (const FigureColumn& column : Columns(temporal))
        out += std::string(out.size() > 1 ? ", " : "") + '"' + column.key + "\": " + JsonNumber(column.get(figures));
    return out + "}";
}

std::string SpreadObject(const std::vector<FrameFigures>& frames, Figure Spread::*part, bool temporal)
{
    std::string out = "{";
    for (const FigureColumn& column : Columns(temporal))
        out += std::string(out.size() > 1 ? ", " : "") + '"' + column.key +
               "\": " + JsonNumber(SpreadOf(frames, column).*part);
    return out + "}";
}
}  // namespace

std::string TextReport(const MeasuredFiles& files, const MeasureResults& results)
{
    const CShareMeasurement& measurement = *results.measurement;
    const SchemeSubpixels& m = measurement.GetSchemeSubpixels();
    std::string out = Printf("secret  %s: %d x %d, %zu frame%s measured\n", files.secret.c_str(), files.secretWidth,
                             files.secretHeight, results.frames.size(), results.frames.size() == 1 ? "" : "s");
    out += Printf("shares  %zu of %d x %d: block %d x %d (%d cells), m = %d (%s)\n\n", files.shares.size(),
                  files.shareWidth, files.shareHeight, files.block.width, files.block.height,
                  files.block.Subpixels(), m.subpixels, m.source.c_str());
    // Wide enough that an MSE of up to 65025 keeps a space before it.
    out += Printf("%-14s%12s%12s%12s%12s\n", "", "stream", "min", "median", "max");
    for (const FigureColumn& column : Columns(results.temporal)) {
        const Spread spread = SpreadOf(results.frames, column);
        out += Printf("%-14s", column.label) + Number(column.get(results.stream), 12) + Number(spread.min, 12) +
               Number(spread.median, 12) + Number(spread.max, 12) + '\n';
    }
    const auto& tests = measurement.GetLeakTests();
    out += "\nsecurity: " + PatternUnits(files.block) +
           Printf("; LEAKS where p < %g (0.001 over %zu tests)\n", measurement.LeakPValueThreshold(), tests.size());
    out += Printf("%-8s%-10s%-12s%10s%10s%14s%8s%12s\n", "test", "shares", "rows", "black", "white", "chi-square", "df",
                  "p-value");
    for (const SharesLeakTest& leak : tests) {
        out += Printf("%-8s%-10s%-12s", ViewName(leak.view), ShareList(leak.shares, "+").c_str(),
                      RowsOf(leak, files.block).c_str()) +
               Number(leak.test.Darkness(true)) + Number(leak.test.Darkness(false));
        if (const auto chi = leak.test.Test()) {
            out += Printf("%14.2f%8d%12.4g", chi->statistic, chi->degreesOfFreedom, chi->pValue);
            if (measurement.Leaks(leak))
                out += "  LEAKS";
        } else {
            out += leak.view == LeakView::AcrossFrames ? "  (no test: needs two frames, pixels that change and that stay)"
                                                      : "  (no test: the secret has one colour)";
        }
        out += '\n';
    }
    return out;
}

std::string JsonReport(const MeasuredFiles& files, const MeasureResults& results)
{
    const CShareMeasurement& measurement = *results.measurement;
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
    out += Printf("  \"scheme_subpixels\": %d,\n  \"scheme_subpixels_from\": ",
                  measurement.GetSchemeSubpixels().subpixels) +
           JsonString(measurement.GetSchemeSubpixels().source) + ",\n";
    out += Printf("  \"frames\": %zu,\n  \"grey_pixels\": %llu,\n", results.frames.size(),
                  static_cast<unsigned long long>(files.greyPixels));
    out += "  \"stream\": " + FigureObject(results.stream, results.temporal) + ",\n";
    out += "  \"frames_min\": " + SpreadObject(results.frames, &Spread::min, results.temporal) + ",\n";
    out += "  \"frames_median\": " + SpreadObject(results.frames, &Spread::median, results.temporal) + ",\n";
    out += "  \"frames_max\": " + SpreadObject(results.frames, &Spread::max, results.temporal) + ",\n";
    out += "  \"security_units\": " + JsonString(PatternUnits(files.block)) + ",\n";
    out += "  \"leak_p_value\": " + JsonNumber(measurement.LeakPValueThreshold()) + ",\n  \"security\": [";
    const char* separator = "\n";
    for (const SharesLeakTest& leak : measurement.GetLeakTests()) {
        const auto chi = leak.test.Test();
        out += separator;
        separator = ",\n";
        out += std::string("    {\"test\": \"") + ViewName(leak.view) + "\", \"rows\": " +
               JsonString(RowsOf(leak, files.block)) + ", \"shares\": [" + ShareList(leak.shares, ", ") +
               "], \"black_darkness\": " + JsonNumber(leak.test.Darkness(true)) +
               ", \"white_darkness\": " + JsonNumber(leak.test.Darkness(false)) +
               ", \"chi_square\": " + JsonNumber(chi ? Figure(chi->statistic) : std::nullopt) +
               ", \"degrees_of_freedom\": " + (chi ? std::to_string(chi->degreesOfFreedom) : "null") +
               ", \"p_value\": " + JsonNumber(chi ? Figure(chi->pValue) : std::nullopt) +
               ", \"leaks\": " + (measurement.Leaks(leak) ? "true" : "false") + "}";
    }
    out += "\n  ]\n}\n";
    return out;
}

std::string CsvHeader(bool temporal)
{
    std::string line = "frame";
    for (const FigureColumn& column : Columns(temporal))
        line += std::string(",") + column.key;
    return line + '\n';
}

std::string CsvRow(std::size_t index, const FrameFigures& figures, bool temporal)
{
    std::string line = std::to_string(index);
    for (const FigureColumn& column : Columns(temporal)) {
        const Figure v = column.get(figures);
        line += ',' + FigureText(v);
    }
    return line + '\n';
}
