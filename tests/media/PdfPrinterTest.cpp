// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfPrinter.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include "GreyFrames.h"
#include "TempDir.h"

namespace {
constexpr int kDpi = 254;  // 10 dots a millimetre

// Prints `frames` all-black frames of 40 x 20 pixels of 0.5 mm on A4 and rasterises the pages
// with poppler's pdftoppm.
std::vector<QImage> PrintAndRasterise(const TempDir& dir, int frames, bool marks)
{
    const QString pdf = QString::fromStdString((dir / "out.pdf").string());
    QFile file(pdf);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const auto layout = CPrintLayout::Fit(40, 20, 0.5, QPageSize::A4);
    CPdfPrinter printer(file, *layout, 0.5, marks, {"share.kvt", "0.5 mm"});
    QImage black(40, 20, QImage::Format_Grayscale8);
    black.fill(0);
    for (int k = 0; k < frames; ++k)
        EXPECT_TRUE(printer.PrintFrame(black, k));
    EXPECT_TRUE(printer.Finish());
    file.close();

    const std::string command = "pdftoppm -gray -r " + std::to_string(kDpi) + " '" + pdf.toStdString() +
                                "' '" + (dir / "page").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<QImage> pages;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().extension() == ".pgm")
            pages.emplace_back(QString::fromStdString(entry.path().string()));
    return pages;
}

// The length of the dark run through `from` along `step`, in dots.
int DarkRun(const QImage& page, QPoint from, QPoint step)
{
    int run = 0;
    for (QPoint p = from; page.valid(p) && qGray(page.pixel(p)) < 128; p -= step)
        ++run;
    for (QPoint p = from + step; page.valid(p) && qGray(page.pixel(p)) < 128; p += step)
        ++run;
    return run;
}
}  // namespace

TEST(PdfPrinter, PrintsOnePagePerFrameWithThePictureAtItsPhysicalSizeInTheMiddle)
{
    TempDir dir;
    const auto pages = PrintAndRasterise(dir, 3, true);
    ASSERT_EQ(pages.size(), 3u);
    for (const QImage& page : pages) {
        ASSERT_EQ(page.width(), 2100);  // A4 at 10 dots a millimetre
        ASSERT_NEAR(page.height(), 2970, 1);
        const QPoint centre(1050, 1485);
        EXPECT_NEAR(DarkRun(page, centre, {1, 0}), 200, 1);  // 40 pixels of 0.5 mm: 20 mm
        EXPECT_NEAR(DarkRun(page, centre, {0, 1}), 100, 1);
    }
}

TEST(PdfPrinter, EmbedsThePictureLosslesslyAndUnsmoothed)
{
    TempDir dir;
    PrintAndRasterise(dir, 1, true);
    const auto bytes = ReadBytes(dir / "out.pdf");
    const std::string pdf(bytes.begin(), bytes.end());
    EXPECT_NE(pdf.find("/Subtype /Image"), std::string::npos);
    EXPECT_EQ(pdf.find("/DCTDecode"), std::string::npos);  // JPEG would smear the pixels' edges
    EXPECT_EQ(pdf.find("/Interpolate true"), std::string::npos);
}

TEST(PdfPrinter, DrawsRegistrationMarksOnlyWhenAsked)
{
    TempDir withMarks;
    TempDir without;
    // The top left mark's centre: 5 mm up and left of the picture's corner at (95, 143.5) mm.
    const QPoint mark(900, 1385);
    EXPECT_LT(qGray(PrintAndRasterise(withMarks, 1, true)[0].pixel(mark)), 128);
    EXPECT_GT(qGray(PrintAndRasterise(without, 1, false)[0].pixel(mark)), 128);
}
