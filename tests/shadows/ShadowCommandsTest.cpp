// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadows/ShadowCommands.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMdiArea>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "TestStreams.h"
#include "framework/DocTemplate.h"
#include "player/KVTPlayerDoc.h"
#include "shadows/SelectShadowsDlg.h"

namespace {
// A child frame without a view: these tests look at documents, not pictures.
class CBareFrame : public CMDIChildWnd {
public:
    using CMDIChildWnd::CMDIChildWnd;
    void OnInitialUpdate() override {}
};

class ShadowCommands : public testing::Test {
protected:
    ShadowCommands()
        : docTemplate("\nKVT\nKVT\nKVT 檔案 (*.kvt)\n.kvt\nKVTPlayer.Document\nKVT Document", area,
                      [] { return std::make_unique<CKVTPlayerDoc>(); },
                      [](CMultiDocTemplate& t, CDocument& d) { return std::make_unique<CBareFrame>(t, d); }),
          commands(&docTemplate)
    {
        area.resize(800, 600);
        area.show();
    }

    // A shown document holding `stream`, made the way a loaded file is.
    CKVTPlayerDoc* Open(const std::string& title, std::unique_ptr<CImageStream> stream, int mode = 0)
    {
        auto* doc = static_cast<CKVTPlayerDoc*>(docTemplate.CreateNewDocument());
        doc->SetTitle(title);
        doc->m_nMode = mode;
        doc->m_pStream = std::move(stream);
        docTemplate.ShowNewFrame(*doc);
        return doc;
    }
    // A shadow-like stream: 0/255 pixels.
    static std::unique_ptr<CImageStream> Shadow(int w, int h, int frames, BYTE tag = 0)
    {
        return MakeTaggedStream(w, h, frames, tag);
    }

    // Answers the dialog: picks two titles and a mode, then OK (or Cancel).
    void Answer(std::string first, std::string second, int modeId, bool ok = true)
    {
        commands.SetDialogRunner([=, this](CSelectShadowsDlg& dlg) {
            dlg.show();
            const auto pick = [](QComboBox* combo, const std::string& title) {
                combo->setCurrentIndex(combo->findText(QString::fromStdString(title)));
            };
            pick(dlg.m_cmbShadow1, first);
            pick(dlg.m_cmbShadow2, second);
            shownTitles = dlg.m_titles;
            if (modeId != 0)
                static_cast<QAbstractButton*>(dlg.Control(modeId))->click();
            if (!ok)
                return false;
            static_cast<QAbstractButton*>(dlg.Control(1))->click();
            return dlg.result() == QDialog::Accepted;
        });
    }

    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (CDocument* doc : docTemplate.GetDocuments())
            titles.push_back(doc->GetTitle());
        return titles;
    }
    CKVTPlayerDoc* Last() const { return static_cast<CKVTPlayerDoc*>(docTemplate.GetDocuments().back()); }

    QMdiArea area;
    CMultiDocTemplate docTemplate;
    CShadowCommands commands;
    MessageRecorder messages;
    std::vector<std::string> shownTitles;
};
}  // namespace

TEST_F(ShadowCommands, ShadowsOfTheActiveDocumentOpenTwoWindowsWithShadowTwoInFront)
{
    Open("movie.KVT", Shadow(64, 48, 10));
    commands.OnCreateShadows();
    ASSERT_EQ(Titles(), (std::vector<std::string>{"movie.KVT", "movie-Shadow1", "movie-Shadow2"}));
    for (CDocument* doc : {docTemplate.GetDocuments()[1], docTemplate.GetDocuments()[2]}) {
        const auto& stream = *static_cast<CKVTPlayerDoc*>(doc)->m_pStream;
        EXPECT_EQ(stream.GetWidth(), 128);
        EXPECT_EQ(stream.GetHeight(), 96);
        EXPECT_EQ(stream.GetFramesHeld(), 10u);
        EXPECT_EQ(static_cast<CKVTPlayerDoc*>(doc)->m_nMode, 0);
        EXPECT_EQ(docTemplate.GetFrames(*doc).size(), 1u);
    }
    EXPECT_EQ(docTemplate.GetActiveDocument(), docTemplate.GetDocuments()[2]);
}

TEST_F(ShadowCommands, WithoutAnActiveDocumentNothingIsLeftBehind)
{
    commands.OnCreateShadows();  // nothing open: nothing happens
    EXPECT_TRUE(Titles().empty());
    EXPECT_TRUE(messages.Messages().empty());

    // A document without a window: open, but no child window is active.
    docTemplate.CreateNewDocument()->SetTitle("movie.kvt");
    ASSERT_EQ(docTemplate.GetActiveDocument(), nullptr);
    commands.OnCreateShadows();
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"secDoc is NULL"});
    EXPECT_EQ(Titles(), std::vector<std::string>{"movie.kvt"});
}

TEST_F(ShadowCommands, ADocumentWithoutAStreamGivesNoShadowDocuments)
{
    Open("broken.kvt", nullptr);
    commands.OnCreateShadows();
    EXPECT_EQ(Titles(), std::vector<std::string>{"broken.kvt"});
}

TEST_F(ShadowCommands, ModeOneInterlacesTheChosenShadowsUnderTheSecretsName)
{
    Open("movie.kvt", Shadow(4, 4, 3));
    commands.OnCreateShadows();
    Answer("movie-Shadow1", "movie-Shadow2", 0);
    commands.OnStackShadows();
    EXPECT_EQ(shownTitles, (std::vector<std::string>{"movie.kvt", "movie-Shadow1", "movie-Shadow2"}));
    ASSERT_EQ(Titles().back(), "movie-Interlaced-Mode1-Stream");
    EXPECT_EQ(Last()->m_nMode, 1);
    EXPECT_EQ(Last()->m_pStream->GetFramesHeld(), 6u);
    EXPECT_EQ(docTemplate.GetActiveDocument(), Last());
}

TEST_F(ShadowCommands, ModeTwoAddsAFreshPairOfTheOpenSecret)
{
    Open("movie.kvt", Shadow(4, 4, 2));
    commands.OnCreateShadows();
    Answer("movie-Shadow1", "movie-Shadow2", 1020);
    commands.OnStackShadows();
    ASSERT_EQ(Titles().back(), "movie-Interlaced-Mode2-Stream");
    EXPECT_EQ(Last()->m_nMode, 2);
    EXPECT_EQ(Last()->m_pStream->GetFramesHeld(), 8u);
    EXPECT_EQ(Titles().size(), 4u);  // the fresh pair belongs to no document
}

TEST_F(ShadowCommands, ModeOneWithoutTheSecretOpenIsTitledAsNew)
{
    Open("x-Shadow1", Shadow(8, 8, 1, 1));
    Open("x-Shadow2", Shadow(8, 8, 1, 2));
    Answer("x-Shadow1", "x-Shadow2", 0);
    commands.OnStackShadows();
    EXPECT_EQ(Titles().back(), "New-Interlaced-Mode1-Stream");
}

TEST_F(ShadowCommands, StackingDirectlyCopiesBothShadows)
{
    Open("a-Shadow1", Shadow(100, 50, 2, 1));
    Open("a-Shadow2", Shadow(50, 100, 5, 2));
    Answer("a-Shadow1", "a-Shadow2", 1019);
    commands.OnStackShadows();
    ASSERT_EQ(Titles().back(), "New-Stacked-Stream");
    EXPECT_EQ(Last()->m_nMode, 3);
    EXPECT_EQ(Last()->m_pStream->GetWidth(), 100);
    EXPECT_EQ(Last()->m_pSecondStream->GetWidth(), 50);
    EXPECT_EQ(Last()->m_pSecondStream->GetFramesHeld(), 5u);
    EXPECT_EQ(FirstPixels(*Last()->m_pStream), (std::vector<BYTE>{1, 2}));
}

TEST_F(ShadowCommands, AStackedDocumentContributesOnlyItsFirstStream)
{
    CKVTPlayerDoc* stacked = Open("pair", Shadow(4, 4, 1, 7), 3);
    stacked->m_pSecondStream = Shadow(4, 4, 1, 9);
    Answer("pair", "pair", 0);
    commands.OnStackShadows();
    EXPECT_EQ(FirstPixels(*Last()->m_pStream), (std::vector<BYTE>{7, 7}));
}

TEST_F(ShadowCommands, TheLaterOfTwoDocumentsWithOneTitleIsUsed)
{
    Open("s-Shadow1", Shadow(4, 4, 1, 10));
    Open("s-Shadow1", Shadow(4, 4, 1, 20));
    Answer("s-Shadow1", "s-Shadow1", 0);
    commands.OnStackShadows();
    EXPECT_EQ(FirstPixels(*Last()->m_pStream), (std::vector<BYTE>{20, 20}));
}

TEST_F(ShadowCommands, FailedStackingLeavesNoDocument)
{
    struct Case {
        const char* name;
        int w2, h2, frames2, modeId;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{"different frame sizes", 4, 5, 1, 1019, {"Two image size must be the same"}},
                          Case{"mode 1 mismatch", 5, 4, 1, 0, {"Interlacing streams error: Image size not match."}},
                          Case{"cancelled", 4, 4, 1, -1, {}}}) {
        SCOPED_TRACE(c.name);
        messages.Reset();
        Open("f-Shadow1", Shadow(4, 4, 1));
        Open("f-Shadow2", Shadow(c.w2, c.h2, c.frames2));
        Answer("f-Shadow1", "f-Shadow2", c.modeId < 0 ? 0 : c.modeId, c.modeId >= 0);
        commands.OnStackShadows();
        EXPECT_EQ(messages.Messages(), c.expected);
        EXPECT_EQ(Titles().back(), "f-Shadow2");
        for (CDocument* doc : docTemplate.GetDocuments())
            docTemplate.CloseDocument(*doc);
    }
}

TEST_F(ShadowCommands, ModeTwoWithoutTheSecretsStreamFailsForWantOfImages)
{
    Open("m", nullptr);  // the secret's document failed to load
    Open("m-Shadow1", Shadow(4, 4, 1));
    Open("m-Shadow2", Shadow(4, 4, 1));
    Answer("m-Shadow1", "m-Shadow2", 1020);
    commands.OnStackShadows();
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"Interlacing streams error: No image in interlacing stream."});
    EXPECT_EQ(Titles().size(), 3u);
}
