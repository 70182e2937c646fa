// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's export and print: the same files as kvt export for the same options, every share's
// files or none, a stop that leaves nothing, and the print dialog's largest size that fits.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "GreyFrames.h"
#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "media/PrintLayout.h"
#include "studio/OutDialog.h"
#include "studio/OutJob.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 23;
constexpr int kHeight = 9;
constexpr int kFrames = 3;

class StudioOutTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int share = 1; share <= 2; ++share) {
            std::vector<unsigned char> pixels;
            for (int k = 0; k < kFrames; ++k) {
                const QImage frame = MakeGreyFrame(k + 5 * share, kWidth, kHeight);
                for (int y = 0; y < kHeight; ++y)
                    pixels.insert(pixels.end(), frame.constScanLine(y), frame.constScanLine(y) + kWidth);
            }
            m_shares.push_back(m_dir / ("a-Shadow" + std::to_string(share) + ".kvt"));
            WriteBytes(m_shares.back(), KvtFile(kWidth, kHeight, pixels));
        }
        fs::create_directory(m_dir / "studio");
        fs::create_directory(m_dir / "kvt");
    }

    OutResult Run(std::variant<ExportSettings, PrintSettings> kind, std::stop_token stop = {})
    {
        COutJob job({m_shares, m_dir / "studio", std::move(kind)});
        OutResult result = job.Run(stop);
        if (result.outcome == OutOutcome::written) {
            EXPECT_EQ(job.GetDone(), job.GetTotal());
        }
        return result;
    }

    TempDir m_dir;
    std::vector<fs::path> m_shares;
};

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
}
}  // namespace

TEST_F(StudioOutTest, ExportWritesWhatKvtExportWrites)
{
    for (const char* extension : {".png", ".gif"}) {
        const OutResult result = Run(ExportSettings{extension, 3, 70});
        ASSERT_EQ(result.outcome, OutOutcome::written) << result.error;
        ASSERT_EQ(result.outputs.size(), 2u);
        for (const fs::path& share : m_shares) {
            const fs::path name = OutName(share, extension, kFrames);
            const KvtRun kvt = RunKvt({"export", share.string(), "-o", (m_dir / "kvt" / name).string(), "--scale", "3",
                                       "--delay", "70"},
                                      m_dir / "err.txt");
            ASSERT_EQ(kvt.status, 0) << kvt.err;
        }
        const std::vector<fs::path> files = FilesIn(m_dir / "kvt");
        ASSERT_EQ(FilesIn(m_dir / "studio"), files);
        for (const fs::path& file : files)
            EXPECT_EQ(ReadBytes(m_dir / "studio" / file), ReadBytes(m_dir / "kvt" / file)) << file;
        // The GIF's 70 ms are 7 hundredths: nothing to warn of.
        EXPECT_TRUE(result.warnings.empty());
        fs::remove_all(m_dir / "studio");
        fs::remove_all(m_dir / "kvt");
        fs::create_directory(m_dir / "studio");
        fs::create_directory(m_dir / "kvt");
    }
    EXPECT_EQ(OutName("x/a-Shadow2.kvt", ".png", 3), fs::path("a-Shadow2-%04d.png"));
    EXPECT_EQ(OutName("x/a-Shadow2.kvt", ".png", 1), fs::path("a-Shadow2.png"));
}

TEST_F(StudioOutTest, PrintWritesAPdfAShareOrSaysWhatDoesNotFit)
{
    OutResult result = Run(PrintSettings{0.5, QStringLiteral("0.5 mm"), QPageSize::A4, true});
    ASSERT_EQ(result.outcome, OutOutcome::written) << result.error;
    EXPECT_EQ(FilesIn(m_dir / "studio"), (std::vector<fs::path>{"a-Shadow1.pdf", "a-Shadow2.pdf"}));
    const std::vector<unsigned char> pdf = ReadBytes(m_dir / "studio" / "a-Shadow1.pdf");
    ASSERT_GT(pdf.size(), 4u);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 4), "%PDF");

    fs::remove_all(m_dir / "studio");
    fs::create_directory(m_dir / "studio");
    result = Run(PrintSettings{20, QStringLiteral("20 mm"), QPageSize::A4, true});
    EXPECT_EQ(result.outcome, OutOutcome::failed);
    EXPECT_NE(result.error.find("a-Shadow1.pdf: 23 x 9 pixels of 20 mm do not fit"), std::string::npos)
        << result.error;
    EXPECT_TRUE(FilesIn(m_dir / "studio").empty());
}

TEST_F(StudioOutTest, StopOrFailureLeavesEveryFileAsItWas)
{
    WriteBytes(m_dir / "studio" / "a-Shadow1.gif", {'o', 'l', 'd'});
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(Run(ExportSettings{".gif", 1, 100}, stop.get_token()).outcome, OutOutcome::stopped);
    EXPECT_EQ(FilesIn(m_dir / "studio"), std::vector<fs::path>{"a-Shadow1.gif"});
    EXPECT_EQ(ReadBytes(m_dir / "studio" / "a-Shadow1.gif"), (std::vector<unsigned char>{'o', 'l', 'd'}));

    // The second share's GIF can't go where it should: the first share's, already written, is not
    // put in place either.
    fs::create_directory(m_dir / "studio" / "a-Shadow2.gif");
    const OutResult result = Run(ExportSettings{".gif", 1, 100});
    EXPECT_EQ(result.outcome, OutOutcome::failed);
    EXPECT_NE(result.error.find("a-Shadow2.gif"), std::string::npos) << result.error;
    EXPECT_EQ(FilesIn(m_dir / "studio"), (std::vector<fs::path>{"a-Shadow1.gif", "a-Shadow2.gif"}));
    EXPECT_EQ(ReadBytes(m_dir / "studio" / "a-Shadow1.gif"), (std::vector<unsigned char>{'o', 'l', 'd'}));

    const OutResult missing = COutJob({m_shares, m_dir / "none", ExportSettings{}}).Run({});
    EXPECT_EQ(missing.outcome, OutOutcome::failed);
    EXPECT_NE(missing.error.find((m_dir / "none").string()), std::string::npos) << missing.error;
    fs::resize_file(m_shares[1], fs::file_size(m_shares[1]) - kWidth * kHeight);
    const OutResult cut = Run(ExportSettings{".gif", 1, 100});
    EXPECT_EQ(cut.outcome, OutOutcome::failed);
    EXPECT_NE(cut.error.find("a-Shadow2.kvt: "), std::string::npos) << cut.error;
}

TEST_F(StudioOutTest, PrintDialogOffersTheLargestSizeThatFits)
{
    QImage wide(1000, 40, QImage::Format_Grayscale8);
    wide.fill(0);
    COutDialog dialog(COutDialog::Mode::printShares, m_shares, wide, 0, QString());
    auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_FALSE(dialog.Fits());  // 1000 subpixels of 0.4 mm: 400 mm
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog.GetLargestButton()->isHidden());
    EXPECT_TRUE(dialog.GetPreview()->pixmap().isNull());

    dialog.GetLargestButton()->click();
    const double largest = CPrintLayout::OfferedPixelMm(1000, 40, QPageSize::A4);
    EXPECT_DOUBLE_EQ(dialog.GetPixelMm(), largest);
    EXPECT_TRUE(dialog.Fits());
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.GetLargestButton()->isHidden());
    EXPECT_FALSE(dialog.GetPreview()->pixmap().isNull());
    // A thousandth of a millimetre more does not fit.
    dialog.GetSubpixelBox()->setValue(largest + 0.001);
    EXPECT_FALSE(dialog.Fits());

    // By dots an inch: the fewest that fit.
    dialog.GetUnitBox()->setCurrentIndex(1);
    dialog.GetDpiBox()->setValue(10);
    ASSERT_FALSE(dialog.Fits());
    dialog.GetLargestButton()->click();
    EXPECT_EQ(dialog.GetDpiBox()->value(), CPrintLayout::OfferedDpi(1000, 40, QPageSize::A4));
    EXPECT_TRUE(dialog.Fits());
    dialog.GetDpiBox()->setValue(dialog.GetDpiBox()->value() - 1);
    EXPECT_FALSE(dialog.Fits());
    const OutRequest request = dialog.GetRequest();
    const auto& print = std::get<PrintSettings>(request.kind);
    EXPECT_EQ(print.pixelSize, QStringLiteral("1/%1 inch").arg(dialog.GetDpiBox()->value()));
}
