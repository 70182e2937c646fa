// SPDX-License-Identifier: GPL-3.0-or-later
// kvt print: a stream's frames onto paper at physical scale, a PDF page each.

#include <QGuiApplication>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/MediaCommands.h"
#include "cli/NumberOptions.h"
#include "io/OutputCheck.h"
#include "cli/StreamToSink.h"
#include "io/Message.h"
#include "media/PdfFileSink.h"

namespace fs = std::filesystem;

namespace {
constexpr double kMmPerInch = 25.4;

struct PrintOptions {
    std::string in;
    std::string out;
    std::string subpixel;
    int dpi = 0;
    std::string page = "a4";
    std::string frames;
    bool noMarks = false;
};

std::string FormatMillimetres(double mm)
{
    return QString::number(mm, 'g', 4).toStdString() + " mm";
}

void SayLargestThatFits(int width, int height, const std::string& pixelSize, QPageSize::PageSizeId page)
{
    ShowMessage("kvt print: " + std::to_string(width) + " x " + std::to_string(height) + " pixels of " + pixelSize +
                " do not fit on " + (page == QPageSize::A4 ? "A4" : "Letter") +
                " paper with their marks and caption; the largest that fits is --subpixel " +
                QString::number(CPrintLayout::OfferedPixelMm(width, height, page), 'f', 3).toStdString() +
                "mm (or --dpi " + std::to_string(CPrintLayout::OfferedDpi(width, height, page)) + ")");
}

// A GUI application without a display; its notes about the desktop it finds are not for our users.
void QuietOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            ShowMessage("kvt print: " + text.toStdString());
    });
}

int RunPrint(const PrintOptions& options, const CommonOptions& common)
{
    if (!CheckOutputs("kvt print", {options.out}, {options.in}, ".pdf"))
        return kExitUsage;
    if (options.subpixel.empty() && options.dpi == 0) {
        ShowMessage("kvt print: give the size of a pixel with --subpixel SIZE or --dpi N");
        return kExitUsage;
    }
    const std::optional<double> pixelMm =
        options.dpi > 0 ? std::optional(kMmPerInch / options.dpi) : ParseLengthMm(options.subpixel);
    if (!pixelMm) {
        ShowMessage("kvt print: --subpixel " + options.subpixel + ": expected " + kLengthUnits);
        return kExitUsage;
    }
    StreamRange input;
    if (const int status = OpenStreamRange("kvt print", options.in, options.frames, input))
        return status;
    const int width = input.reader.GetHeader().width;
    const int height = input.reader.GetHeader().height;
    const std::string pixelSize = options.dpi > 0 ? "1/" + std::to_string(options.dpi) + " inch"
                                                  : FormatMillimetres(*pixelMm);
    const QPageSize::PageSizeId page = options.page == "letter" ? QPageSize::Letter : QPageSize::A4;
    const auto layout = CPrintLayout::Fit(width, height, *pixelMm, page);
    if (!layout) {
        SayLargestThatFits(width, height, pixelSize, page);
        return kExitFailed;
    }
    QuietOffscreenPlatform();
    int argc = 1;
    char name[] = "kvt";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);  // for the caption's fonts; it opens no window

    CPdfFileSink sink(options.out);
    const PrintCaption caption{QString::fromStdString(fs::path(options.in).filename().string()),
                               QString::fromStdString(pixelSize)};
    if (!sink.Open(*layout, *pixelMm, !options.noMarks, caption)) {
        ShowMessage("kvt print: " + sink.GetError());
        return kExitFailed;
    }
    return WriteFrames("kvt print", input, 1, sink, common);
}
}  // namespace

void AddPrintCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<PrintOptions>();
    CCommand command = commandLine.AddCommand(
        kPrintCommand.name, kPrintCommand.description,
        [options](const CommonOptions& common) { return RunPrint(*options, common); });
    command.AddOption("IN", options->in, "The stream to read").Required();
    command.AddOption("-o", options->out, "The PDF to write").Required().TypeName("OUT.pdf");
    COption subpixel =
        command.AddOption("--subpixel", options->subpixel, "Side of a pixel, such as 0.4mm (mm, cm, in, um or pt)")
            .TypeName("SIZE");
    const COption dpi =
        command.AddOption("--dpi", options->dpi, "Pixels an inch").TypeName("N").Check(WholeNumberFrom(1, 100000));
    subpixel.Excludes(dpi);
    command.AddOption("--page", options->page, "Paper (default a4)")
        .TypeName("a4|letter")
        .Check(COptionCheck::OneOf({"a4", "letter"}));
    command.AddOption("--frames", options->frames, "Frames A to B (from 0; default all)").TypeName("A..B");
    command.AddFlag("--no-marks", options->noMarks, "Leave out the registration marks");
}
