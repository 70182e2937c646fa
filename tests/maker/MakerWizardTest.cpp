// SPDX-License-Identifier: GPL-3.0-or-later
// The maker wizard driven as a user drives it, with the file dialogs answered by the test.

#include "maker/MakerWizard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "maker/ImageSizeDlg.h"
#include "maker/MakerFileDialog.h"
#include "maker/MakerInput.h"
#include "maker/MakerOpen.h"
#include "maker/WizardSheet.h"

namespace {
constexpr int kBack = CWizardSheet::ID_WIZBACK;
constexpr int kNext = CWizardSheet::ID_WIZNEXT;
constexpr int kFinish = CWizardSheet::ID_WIZFINISH;
constexpr int kCancel = CWizardSheet::IDCANCEL;
const std::vector<unsigned char> kOld = {'o', 'l', 'd'};

class MakerWizard : public testing::Test {
protected:
    MakerWizard()
        : previousHook(SetFileDialogHook([this](QWidget*, const CFileDialogRequest& request) {
              requests.push_back(request);
              std::optional<QString> answer = answers.front();
              answers.pop_front();
              return answer;
          }))
    {
        wizard.Sheet().show();
        Settle();
    }
    ~MakerWizard() override { SetFileDialogHook(std::move(previousHook)); }

    // Lets posted button states take effect.
    static void Settle() { QCoreApplication::processEvents(); }

    CWizardSheet& Sheet() const { return wizard.Sheet(); }
    CWizardPage* Current() const { return Sheet().GetPage(Sheet().GetActiveIndex()); }
    CMakerOpen* RawPage(int index) const { return static_cast<CMakerOpen*>(Sheet().GetPage(index)); }
    QLineEdit* NameEdit() const { return static_cast<QLineEdit*>(wizard.InputPage().Control(1000)); }
    QString ShownName() const { return static_cast<QLabel*>(wizard.InputPage().Control(1001))->text(); }
    QString ShownRaw(int index) const { return static_cast<QLabel*>(RawPage(index)->Control(1004))->text(); }
    bool Enabled(int id) const { return Sheet().Control(id)->isEnabled(); }
    // Back, Next, Finish.
    std::vector<bool> Buttons() const { return {Enabled(kBack), Enabled(kNext), Enabled(kFinish)}; }

    void Click(QWidget* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
    void Click(int id) { Click(Sheet().Control(id)); }
    void TypeName(const QString& text)
    {
        NameEdit()->clear();
        QTest::keyClicks(NameEdit(), text);
    }
    // Names the output file and goes on to the first raw page.
    void Start(const std::string& name = "out")
    {
        TypeName(QString::fromStdString((dir / name).string()));
        Click(kNext);
    }

    // A raw file of `size` bytes, every byte `tag`.
    QString Raw(const std::string& name, std::size_t size, unsigned char tag = 0)
    {
        WriteBytes(dir / name, std::vector<unsigned char>(size, tag));
        return QString::fromStdString((dir / name).string());
    }
    // Presses "Insert a file..." on the current page, answering the open dialog with `path` and,
    // when the page asks for it, the size dialog with `width` x `height` (an empty width cancels).
    void Insert(const std::optional<QString>& path, const QString& width = "320", const QString& height = "240")
    {
        answers.push_back(path);
        auto* page = static_cast<CMakerOpen*>(Current());
        if (path && page->m_bAskSize) {
            QTimer::singleShot(0, [this, width, height] {
                CImageSizeDlg& dlg = wizard.SizeDialog();
                ASSERT_TRUE(dlg.isVisible());
                shownSizes = {static_cast<QLineEdit*>(dlg.Control(1005))->text(),
                              static_cast<QLineEdit*>(dlg.Control(1006))->text()};
                if (width.isEmpty()) {
                    QTest::mouseClick(dlg.Control(2), Qt::LeftButton);
                    return;
                }
                static_cast<QLineEdit*>(dlg.Control(1005))->setText(width);
                static_cast<QLineEdit*>(dlg.Control(1006))->setText(height);
                QTest::mouseClick(dlg.Control(1), Qt::LeftButton);
            });
        }
        Click(page->Control(1003));
    }
    // Presses Finish, then does what the wizard does once its sheet has closed.
    bool Finish()
    {
        Click(kFinish);
        EXPECT_FALSE(Sheet().isVisible());
        return wizard.Complete(Sheet().result());
    }
    std::vector<unsigned char> Stream(int width, int height, const std::vector<unsigned char>& tags) const
    {
        auto bytes = HeaderBytes(width, height, static_cast<std::uint16_t>(tags.size()),
                               static_cast<std::uint32_t>(width * height));
        for (const unsigned char tag : tags)
            bytes.insert(bytes.end(), static_cast<std::size_t>(width * height), tag);
        return bytes;
    }
    std::vector<unsigned char> Output() const { return ReadBytes(dir / "out.kvt"); }

    TempDir dir;
    MessageRecorder messages;
    std::deque<std::optional<QString>> answers;
    std::vector<CFileDialogRequest> requests;
    std::pair<QString, QString> shownSizes;
    FileDialogHook previousHook;
    CMakerWizard wizard{nullptr};
};
}  // namespace

TEST_F(MakerWizard, TheNamePageCompletesTheNameWithKvt)
{
    EXPECT_EQ(Sheet().windowTitle(), "KvtMaker File Input");
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(static_cast<QPushButton*>(wizard.InputPage().Control(1002))->text(), "瀏覽...");
    const std::pair<QString, QString> examples[] = {
        {"movie", "movie.kvt"}, {"Movie.KVT", "Movie.KVT"}, {"a.k", "a.k.kvt"}, {".kvt", ".kvt"}, {"kvt", "kvt.kvt"}};
    for (const auto& [typed, completed] : examples) {
        TypeName(typed);
        EXPECT_EQ(NameEdit()->text(), typed);
        EXPECT_EQ(ShownName(), completed);
        EXPECT_EQ(wizard.InputPage().m_strFileName, completed);
    }
    NameEdit()->setText(QString(250, 'x'));
    EXPECT_EQ(NameEdit()->text().size(), 200);
}

TEST_F(MakerWizard, AnEmptyNameIsRefusedOnNext)
{
    TypeName("movie");
    TypeName("");
    EXPECT_EQ(ShownName(), "");
    Click(kNext);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Please input file name"});
    EXPECT_EQ(Sheet().GetActiveIndex(), 0);
}

TEST_F(MakerWizard, BrowseAsksForAKvtFileAndTakesTheWholePath)
{
    const QString longPath = "/tmp/" + QString(230, 'd') + "/movie";
    answers = {std::nullopt, longPath};
    Click(wizard.InputPage().Control(1002));
    EXPECT_EQ(ShownName(), "");
    Click(wizard.InputPage().Control(1002));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].kind, CFileDialogRequest::saveAs);
    EXPECT_EQ(requests[0].strFilter, "Kvt Files (*.kvt)");
    EXPECT_EQ(requests[0].strDefaultSuffix, "kvt");
    EXPECT_EQ(NameEdit()->text(), longPath);
    EXPECT_EQ(ShownName(), longPath + ".kvt");
}

TEST_F(MakerWizard, ARawPageAsksForARawFileAndItsSizeAndEnablesFinishWhenItFits)
{
    Start();
    EXPECT_EQ(Sheet().windowTitle(), "KvtMaker File Open");
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));
    Click(kNext);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Please input file name"});
    EXPECT_EQ(Sheet().GetActiveIndex(), 1);

    const QString raw = Raw("1.raw", 76800);
    Insert(raw);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, CFileDialogRequest::open);
    EXPECT_EQ(requests[0].strFilter, "Raw Files (*.raw)");
    EXPECT_EQ(requests[0].strDefaultSuffix, "raw");
    EXPECT_EQ(shownSizes, (std::pair<QString, QString>{"0", "0"}));
    EXPECT_EQ(RawPage(1)->m_strFileName, raw);
    EXPECT_EQ(RawPage(1)->m_nFrameSize, 76800);
    EXPECT_EQ(ShownRaw(1), raw);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, true}));
    // The first raw page asks again, showing the size last accepted.
    Insert(raw);
    EXPECT_EQ(shownSizes, (std::pair<QString, QString>{"320", "240"}));
}

TEST_F(MakerWizard, ARawFileOneByteOffIsRefused)
{
    Start();
    for (const std::size_t size : {76801u, 76799u}) {
        messages.Reset();
        Insert(Raw("bad.raw", size));
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Image Size not correct"});
        EXPECT_EQ(RawPage(1)->m_strFileName, "");
        EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));
    }
}

TEST_F(MakerWizard, CancellingTheSizeDialogLeavesThePageAsItWas)
{
    Start();
    const QString raw = Raw("1.raw", 76800);
    Insert(raw);
    Insert(Raw("2.raw", 6), "");
    EXPECT_EQ(RawPage(1)->m_strFileName, raw);
    EXPECT_EQ(RawPage(1)->m_nFrameSize, 76800);
    EXPECT_EQ(wizard.SizeDialog().m_nWidth, 320);
    // A cancelled file dialog changes nothing either.
    Insert(std::nullopt);
    EXPECT_EQ(RawPage(1)->m_strFileName, raw);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(MakerWizard, FinishOnTheLastPageWritesEveryInsertedFile)
{
    Start();
    Insert(Raw("1.raw", 76800, 1));
    Click(kNext);
    ASSERT_EQ(Sheet().GetPageCount(), 3);
    // Later pages check against the size and don't ask for it.
    EXPECT_FALSE(RawPage(2)->m_bAskSize);
    EXPECT_EQ(RawPage(2)->m_nFrameSize, 76800);
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));
    Insert(Raw("2.raw", 76800, 2));
    Click(kNext);
    Insert(Raw("3.raw", 76800, 3));
    EXPECT_TRUE(Finish());
    EXPECT_EQ(Output().size(), 230424u);
    EXPECT_EQ(Output(), Stream(320, 240, {1, 2, 3}));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(MakerWizard, BackFromTheEmptyLastPageThenFinishWritesThePagesBeforeIt)
{
    Start();
    Insert(Raw("1.raw", 6, 1), "3", "2");
    Click(kNext);
    Insert(Raw("2.raw", 6, 2));
    Click(kNext);
    Click(kBack);
    EXPECT_EQ(Sheet().GetActiveIndex(), 2);
    EXPECT_TRUE(Finish());
    EXPECT_EQ(Output(), Stream(3, 2, {1, 2}));
}

TEST_F(MakerWizard, BackThenFinishLeavesTheLaterFileOut)
{
    Start();
    Insert(Raw("1.raw", 6, 1), "3", "2");
    Click(kNext);
    Insert(Raw("2.raw", 6, 2));
    Click(kBack);
    EXPECT_EQ(Sheet().GetActiveIndex(), 1);
    EXPECT_TRUE(Finish());
    EXPECT_EQ(Output(), Stream(3, 2, {1}));
}

TEST_F(MakerWizard, CancelWritesNothingAndKeepsAnExistingFile)
{
    WriteBytes(dir / "out.kvt", kOld);
    Start("out.kvt");
    Insert(Raw("1.raw", 6, 1), "3", "2");
    Click(kCancel);
    EXPECT_FALSE(Sheet().isVisible());
    EXPECT_EQ(Sheet().result(), kCancel);
    EXPECT_FALSE(wizard.Complete(Sheet().result()));
    EXPECT_EQ(Output(), kOld);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(MakerWizard, AFailedFinishLeavesAnExistingFileUntouched)
{
    WriteBytes(dir / "out.kvt", kOld);
    Start();
    Insert(Raw("1.raw", 6, 1), "3", "2");
    Click(kNext);
    // A typed name of a file that isn't there stays on the page without a message.
    Insert(QString::fromStdString((dir / "gone.raw").string()));
    EXPECT_TRUE(messages.Messages().empty());
    Click(kNext);
    EXPECT_EQ(Sheet().GetActiveIndex(), 3);
    Click(kBack);
    Click(kBack);
    EXPECT_FALSE(Finish());
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Open File Error"});
    EXPECT_EQ(Output(), kOld);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"1.raw", "out.kvt"}));
}

TEST_F(MakerWizard, ARawFileThatShrankSinceItsInsertionIsRefusedAtFinish)
{
    Start();
    const QString raw = Raw("1.raw", 6, 1);
    Insert(raw, "3", "2");
    Raw("1.raw", 5, 1);
    EXPECT_FALSE(Finish());
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Image Size not correct: " + raw.toStdString() +
                                                            " holds 5 bytes, fewer than one 3 x 2 frame"});
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kvt"));
}

TEST_F(MakerWizard, AfterANewSizeOnTheFirstPageEveryFileGivesItsFirstFrameOfThatSize)
{
    Start();
    Insert(Raw("big.raw", 6, 1), "3", "2");
    Click(kNext);
    Click(kBack);
    Insert(Raw("small.raw", 4, 2), "2", "2");
    Click(kNext);
    // This page was made while the size was 3 x 2, and checks against it.
    Insert(Raw("2.raw", 6, 3));
    Click(kNext);
    Click(kBack);
    ASSERT_TRUE(Finish());
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(Output(), Stream(2, 2, {2, 3}));
}
