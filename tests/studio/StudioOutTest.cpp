// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's export and print: the same files as kvt export (and, for a stack, kvt reveal) for
// the same options, every output's files or none, a stop that leaves nothing, the outputs offered
// and the print dialog's pages and largest size that fits.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSettings>
#include <QPushButton>
#include <QSpinBox>

#include "GreyFrames.h"
#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "media/PrintLayout.h"
#include "studio/OutChoice.h"
#include "studio/OutDialog.h"
#include "studio/OutJob.h"
#include "studio/ShareSet.h"

namespace fs = std::filesystem;

namespace {
constexpr int kWidth = 23;
constexpr int kHeight = 9;
constexpr int kFrames = 3;

class StudioOutTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Black and white, as shares are, and unlike each other.
        for (int share = 1; share <= 3; ++share) {
            std::vector<unsigned char> pixels;
            for (int k = 0; k < kFrames; ++k) {
                const QImage frame = MakeGreyFrame(k + 5 * share, kWidth, kHeight);
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x)
                        pixels.push_back(frame.constScanLine(y)[x] % (share + 1) == 0 ? 0 : 255);
            }
            m_shares.push_back(m_dir / ("a-Shadow" + std::to_string(share) + ".kvt"));
            WriteBytes(m_shares.back(), KvtFile(kWidth, kHeight, pixels));
        }
        fs::create_directory(m_dir / "studio");
        fs::create_directory(m_dir / "kvt");
    }

    // The first two shares, each as it is.
    std::vector<OutItem> TwoShares() const { return {ShareItem(m_shares[0]), ShareItem(m_shares[1])}; }

    OutResult Run(std::variant<ExportSettings, PrintSettings> kind, std::stop_token stop = {})
    {
        return RunItems(TwoShares(), std::move(kind), stop);
    }

    OutResult RunItems(std::vector<OutItem> items, std::variant<ExportSettings, PrintSettings> kind,
                       std::stop_token stop = {})
    {
        COutJob job({std::move(items), m_dir / "studio", std::move(kind)});
        OutResult result = job.Run(stop);
        if (result.outcome == OutOutcome::written) {
            EXPECT_EQ(job.GetDone(), job.GetTotal());
        }
        return result;
    }

    // The studio's folder holds the same files as kvt's, byte for byte; both are emptied after.
    void ExpectSameFilesAndEmpty();

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

void StudioOutTest::ExpectSameFilesAndEmpty()
{
    const std::vector<fs::path> files = FilesIn(m_dir / "kvt");
    EXPECT_EQ(FilesIn(m_dir / "studio"), files);
    for (const fs::path& file : files)
        EXPECT_EQ(ReadBytes(m_dir / "studio" / file), ReadBytes(m_dir / "kvt" / file)) << file;
    for (const char* folder : {"studio", "kvt"}) {
        fs::remove_all(m_dir / folder);
        fs::create_directory(m_dir / folder);
    }
}
}  // namespace

TEST_F(StudioOutTest, ExportWritesWhatKvtExportWrites)
{
    for (const char* extension : {".png", ".gif"}) {
        const OutResult result = Run(ExportSettings{extension, 3, 70});
        ASSERT_EQ(result.outcome, OutOutcome::written) << result.error;
        ASSERT_EQ(result.outputs.size(), 2u);
        for (const fs::path& share : {m_shares[0], m_shares[1]}) {
            const fs::path name = OutName(share.stem().string(), extension, kFrames);
            const KvtRun kvt = RunKvt({"export", share.string(), "-o", (m_dir / "kvt" / name).string(), "--scale", "3",
                                       "--delay", "70"},
                                      m_dir / "err.txt");
            ASSERT_EQ(kvt.status, 0) << kvt.err;
        }
        ExpectSameFilesAndEmpty();
        // The GIF's 70 ms are 7 hundredths: nothing to warn of.
        EXPECT_TRUE(result.warnings.empty());
    }
    EXPECT_EQ(OutName("a.b-Shadow2", ".png", 3), fs::path("a.b-Shadow2-%04d.png"));
    EXPECT_EQ(OutName("a.b-Shadow2", ".png", 1), fs::path("a.b-Shadow2.png"));
}

TEST_F(StudioOutTest, StackExportIsKvtRevealExported)
{
    CShareSet shares;
    std::string error;
    ASSERT_TRUE(shares.Open(m_shares, error)) << error;
    shares.SetChecked(1, false);
    for (const StackMode mode : {StackMode::stack, StackMode::exclusiveOr}) {
        shares.SetMode(mode);
        const std::vector<OutItem> items = ChooseOutItems(shares, OutChoice::stack);
        ASSERT_EQ(items.size(), 1u);
        const bool stacked = mode == StackMode::stack;
        EXPECT_EQ(items[0].name, stacked ? "a-Stack-1-3" : "a-Xor-1-3");
        const OutResult result = RunItems(items, ExportSettings{".png", 2, 100});
        ASSERT_EQ(result.outcome, OutOutcome::written) << result.error;

        const std::string revealed = (m_dir / "revealed.kvt").string();
        std::vector<std::string> reveal{"reveal", m_shares[0].string(), m_shares[2].string(), "-o", revealed};
        if (!stacked)
            reveal.emplace_back("--xor");
        ASSERT_EQ(RunKvt(reveal, m_dir / "err.txt").status, 0);
        const fs::path name = OutName(items[0].name, ".png", kFrames);
        const KvtRun kvt = RunKvt({"export", revealed, "-o", (m_dir / "kvt" / name).string(), "--scale", "2"},
                                  m_dir / "err.txt");
        ASSERT_EQ(kvt.status, 0) << kvt.err;
        ExpectSameFilesAndEmpty();
    }
    // A share dragged out of place is written where the reveal shows it.
    shares.SetMode(StackMode::stack);
    shares.SetOffset(2, QPoint(3, -2));
    ASSERT_EQ(RunItems(ChooseOutItems(shares, OutChoice::stack), ExportSettings{".png", 1, 100}).outcome,
              OutOutcome::written);
    const QImage written(QString::fromStdString((m_dir / "studio" / "a-Stack-1-3-0000.png").string()));
    EXPECT_EQ(written.convertToFormat(QImage::Format_Grayscale8), shares.Reveal());
    EXPECT_EQ(OutItemFrame(shares, OutChoice::stack, 0), shares.Reveal());
    // A stack needs two shares; the checked ones are those checked.
    EXPECT_EQ(ChooseOutItems(shares, OutChoice::checked).size(), 2u);
    EXPECT_EQ(ChooseOutItems(shares, OutChoice::all).size(), 3u);
    shares.SetChecked(2, false);
    EXPECT_TRUE(ChooseOutItems(shares, OutChoice::stack).empty());
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

    const OutResult missing = COutJob({TwoShares(), m_dir / "none", ExportSettings{}}).Run({});
    EXPECT_EQ(missing.outcome, OutOutcome::failed);
    EXPECT_NE(missing.error.find((m_dir / "none").string()), std::string::npos) << missing.error;
    fs::resize_file(m_shares[1], fs::file_size(m_shares[1]) - kWidth * kHeight);
    const OutResult cut = Run(ExportSettings{".gif", 1, 100});
    EXPECT_EQ(cut.outcome, OutOutcome::failed);
    EXPECT_NE(cut.error.find("a-Shadow2.kvt: "), std::string::npos) << cut.error;
}

TEST_F(StudioOutTest, PrintDialogOffersTheLargestSizeThatFits)
{
    const fs::path widePath = m_dir / "wide-Shadow1.kvt";
    WriteBytes(widePath, KvtFile(1000, 40, std::vector<unsigned char>(1000 * 40, 0)));
    CShareSet wide;
    std::string error;
    ASSERT_TRUE(wide.Open({widePath}, error)) << error;
    QSettings().remove(QStringLiteral("print"));
    auto dialog = std::make_unique<COutDialog>(COutDialog::Mode::printShares, wide, QString());
    auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    // 1000 subpixels of the first 0.4 mm are 400 mm: it starts at the largest that fits, and says so.
    const double largest = CPrintLayout::OfferedPixelMm(1000, 40, QPageSize::A4);
    EXPECT_DOUBLE_EQ(dialog->GetPixelMm(), largest);
    EXPECT_TRUE(dialog->Fits());
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog->GetLargestButton()->isHidden());
    EXPECT_FALSE(dialog->GetPreview()->pixmap().isNull());
    const QString note = dialog->GetFitLabel()->text();
    EXPECT_TRUE(note.startsWith(QStringLiteral("Subpixels of 0.4 mm don't fit on A4 paper: starting at %1 mm, the "
                                               "largest that fits.\n").arg(largest))) << note.toStdString();

    // A size chosen that doesn't fit: the button offers the largest again, and the note is gone.
    dialog->GetSubpixelBox()->setValue(0.4);
    EXPECT_FALSE(dialog->Fits());
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog->GetLargestButton()->isHidden());
    EXPECT_TRUE(dialog->GetPreview()->pixmap().isNull());
    dialog->GetLargestButton()->click();
    EXPECT_DOUBLE_EQ(dialog->GetPixelMm(), largest);
    EXPECT_FALSE(dialog->GetFitLabel()->text().contains(QStringLiteral("starting at")));
    // A thousandth of a millimetre more does not fit.
    dialog->GetSubpixelBox()->setValue(largest + 0.001);
    EXPECT_FALSE(dialog->Fits());

    // By dots an inch: the fewest that fit.
    dialog->GetUnitBox()->setCurrentIndex(1);
    dialog->GetDpiBox()->setValue(10);
    ASSERT_FALSE(dialog->Fits());
    dialog->GetLargestButton()->click();
    EXPECT_EQ(dialog->GetDpiBox()->value(), CPrintLayout::OfferedDpi(1000, 40, QPageSize::A4));
    EXPECT_TRUE(dialog->Fits());
    dialog->GetDpiBox()->setValue(dialog->GetDpiBox()->value() - 1);
    EXPECT_FALSE(dialog->Fits());
    const OutRequest request = dialog->GetRequest();
    const auto& print = std::get<PrintSettings>(request.kind);
    EXPECT_EQ(print.pixelSize, QStringLiteral("1/%1 inch").arg(dialog->GetDpiBox()->value()));

    // The size of a print made is the next print's when it fits, on the paper chosen.
    dialog->GetUnitBox()->setCurrentIndex(0);
    dialog->GetPageBox()->setCurrentIndex(1);
    dialog->GetSubpixelBox()->setValue(0.125);
    ASSERT_TRUE(dialog->Fits());
    dialog->accept();
    dialog = std::make_unique<COutDialog>(COutDialog::Mode::printShares, wide, QString());
    EXPECT_DOUBLE_EQ(dialog->GetPixelMm(), 0.125);
    EXPECT_EQ(dialog->GetPageBox()->currentIndex(), 1);
    EXPECT_FALSE(dialog->GetFitLabel()->text().contains(QStringLiteral("starting at")));
}

TEST_F(StudioOutTest, DialogsOfferTheCheckedSharesAndTheirStackAndPageThroughThem)
{
    CShareSet shares;
    std::string error;
    ASSERT_TRUE(shares.Open(m_shares, error)) << error;
    shares.SetChecked(0, false);
    COutDialog exporting(COutDialog::Mode::exportShares, shares, QString::fromStdString(m_dir.Path().string()));
    EXPECT_EQ(exporting.GetChoiceBox()->count(), 3);
    EXPECT_EQ(exporting.GetRequest().items.size(), 3u);
    exporting.GetChoiceBox()->setCurrentIndex(2);
    const OutRequest stack = exporting.GetRequest();
    ASSERT_EQ(stack.items.size(), 1u);
    EXPECT_EQ(stack.items[0].name, "a-Stack-2-3");
    EXPECT_EQ(stack.folder, m_dir.Path());

    COutDialog printing(COutDialog::Mode::printShares, shares, QString());
    QSpinBox* page = printing.GetPreviewPageBox();
    EXPECT_EQ(page->maximum(), 3);
    const QImage first = printing.GetPreview()->pixmap().toImage();
    page->setValue(2);
    const QImage second = printing.GetPreview()->pixmap().toImage();
    EXPECT_NE(second, first);
    printing.GetChoiceBox()->setCurrentIndex(1);  // the checked ones: shares 2 and 3
    EXPECT_EQ(page->maximum(), 2);
    page->setValue(1);
    EXPECT_EQ(printing.GetPreview()->pixmap().toImage(), second);
    printing.GetChoiceBox()->setCurrentIndex(2);
    EXPECT_EQ(page->maximum(), 1);
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(printing.GetRequest().items.size(), 1u);

    // All checked: nothing but every share and their stack to offer.
    shares.SetChecked(0, true);
    COutDialog allChecked(COutDialog::Mode::exportShares, shares, QString());
    EXPECT_EQ(allChecked.GetChoiceBox()->count(), 2);
}
