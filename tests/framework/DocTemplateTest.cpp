// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/DocTemplate.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <algorithm>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "framework/CommandIds.h"
#include "io/DocumentMessages.h"
#include "player/KVTPlayerDoc.h"

namespace {
constexpr const char* kDocString = "\nKVT\nKVT\nKVT 檔案 (*.kvt)\n.kvt\nKVTPlayer.Document\nKVT Document";

// What happened, in order, across documents and views.
std::vector<std::string>* g_events = nullptr;
void Note(const std::string& event)
{
    if (g_events)
        g_events->push_back(event);
}

class LoggingDoc : public CKVTPlayerDoc {
public:
    ~LoggingDoc() override { Note("doc gone: " + GetTitle()); }
};

class LoggingView : public QLabel, public CCmdTarget {
public:
    LoggingView(CDocument& doc, QWidget* parent) : QLabel(parent), m_doc(doc) {}
    ~LoggingView() override { Note("view gone: " + m_doc.GetTitle()); }
    CDocument& m_doc;
};

class TestFrame : public CMDIChildWnd {
public:
    TestFrame(CMultiDocTemplate& tmpl, CDocument& doc) : CMDIChildWnd(tmpl, doc)
    {
        auto* view = new LoggingView(doc, this);
        SetView(view, view);
    }
    void OnInitialUpdate() override { Note(std::string("initial update, visible=") + (isVisible() ? "1" : "0")); }
};

struct SaveDialogCall {
    bool bOpen;
    QString proposed;
    QString filter;
};

class DocTemplateTest : public testing::Test {
protected:
    DocTemplateTest()
    {
        g_events = &m_events;
        m_window.setCentralWidget(m_area);
        m_window.resize(640, 480);
        m_window.show();
        m_template = std::make_unique<CMultiDocTemplate>(
            kDocString, *m_area, [] { return std::make_unique<LoggingDoc>(); },
            [](CMultiDocTemplate& tmpl, CDocument& doc) { return std::make_unique<TestFrame>(tmpl, doc); });
        m_template->SetFileDialog([this](QWidget*, bool bOpen, const QString& proposed, const QString& filter) {
            m_dialogCalls.push_back({bOpen, proposed, filter});
            return m_answer;
        });
        m_template->SetPathHook([this](const std::filesystem::path& path) { m_paths.push_back(path); });
    }
    ~DocTemplateTest() override
    {
        m_template.reset();
        g_events = nullptr;
    }

    static void ProcessDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::vector<std::string> m_events;
    QMainWindow m_window;
    QMdiArea* m_area = new QMdiArea;
    std::unique_ptr<CMultiDocTemplate> m_template;
    std::vector<SaveDialogCall> m_dialogCalls;
    std::optional<std::filesystem::path> m_answer;
    std::vector<std::filesystem::path> m_paths;
    MessageRecorder m_messages;
    TempDir m_dir;
};

std::vector<std::string> Titles(const std::vector<CDocument*>& docs)
{
    std::vector<std::string> titles;
    for (const CDocument* doc : docs)
        titles.push_back(doc->GetTitle());
    return titles;
}
}  // namespace

TEST_F(DocTemplateTest, DocumentStringFieldsAndTheDialogFilter)
{
    EXPECT_EQ(m_template->GetDocString(CMultiDocTemplate::docName), "KVT");
    EXPECT_EQ(m_template->GetDocString(CMultiDocTemplate::filterExt), ".kvt");
    EXPECT_EQ(m_template->GetDocString(CMultiDocTemplate::regFileTypeName), "KVT Document");
    EXPECT_EQ(m_template->GetDocString(CMultiDocTemplate::windowTitle), "");
    EXPECT_EQ(m_template->GetFilter(), QString::fromUtf8("KVT 檔案 (*.kvt);;所有文件 (*.*)"));
}

TEST_F(DocTemplateTest, WindowlessDocumentsKeepCreationOrderAndGetAWindowOnlyWhenAsked)
{
    CDocument* first = m_template->CreateNewDocument();
    CDocument* second = m_template->CreateNewDocument();
    first->SetTitle("Shadow1");
    second->SetTitle("Shadow2");
    EXPECT_TRUE(m_area->subWindowList().isEmpty());
    EXPECT_EQ(m_template->GetActiveDocument(), nullptr);

    CMDIChildWnd* frame1 = m_template->ShowNewFrame(*first);
    CMDIChildWnd* frame2 = m_template->ShowNewFrame(*second);
    ASSERT_NE(frame1, nullptr);
    ASSERT_NE(frame2, nullptr);
    // The view is updated once, before anyone sees it; the last window shown is the active one.
    EXPECT_EQ(m_events, (std::vector<std::string>{"initial update, visible=0", "initial update, visible=0"}));
    EXPECT_EQ(m_area->subWindowList().size(), 2);
    EXPECT_EQ(m_template->GetActiveDocument(), second);
    EXPECT_EQ(m_template->GetActiveFrame(), frame2);
    EXPECT_EQ(frame2->windowTitle(), "Shadow2");
    EXPECT_EQ(Titles(m_template->GetDocuments()), (std::vector<std::string>{"Shadow1", "Shadow2"}));
    EXPECT_NE(frame1->GetActiveView(), nullptr);
}

TEST_F(DocTemplateTest, AWindowlessDocumentIsDestroyedAtOnce)
{
    CDocument* kept = m_template->CreateNewDocument();
    kept->SetTitle("kept");
    CDocument* failed = m_template->CreateNewDocument();
    failed->SetTitle("New-Stacked-Stream");
    m_template->CloseDocument(*failed);
    EXPECT_EQ(m_events, std::vector<std::string>{"doc gone: New-Stacked-Stream"});
    EXPECT_EQ(m_template->GetDocuments(), std::vector<CDocument*>{kept});
}

TEST_F(DocTemplateTest, UntitledDocumentsAreNumberedFromTheDocumentName)
{
    m_template->CreateNewDocument()->SetTitle("made by a command");
    EXPECT_EQ(m_template->OpenNewDocument()->GetTitle(), "KVT1");
    EXPECT_EQ(m_template->OpenNewDocument()->GetTitle(), "KVT2");
    EXPECT_EQ(m_area->subWindowList().size(), 2);
}

TEST_F(DocTemplateTest, NewWindowsCascadeFromTheTopLeftAndStartAgainThereWhenTheNextWouldNotFit)
{
    const QRect area({0, 0}, m_area->viewport()->size());
    std::vector<QRect> places;
    for (int i = 0; i < 12; ++i)
        places.push_back(m_template->ShowNewFrame(*m_template->CreateNewDocument())->geometry());
    const QPoint step(places[1].top(), places[1].top());  // a caption's height
    EXPECT_GT(step.y(), 10);
    QRect expected({0, 0}, area.size() * 3 / 4);
    for (const QRect& place : places) {
        EXPECT_EQ(place, expected);
        expected.moveTopLeft(area.contains(expected.translated(step)) ? expected.topLeft() + step : QPoint());
    }
    EXPECT_GE(std::count_if(places.begin(), places.end(), [](const QRect& rc) { return rc.topLeft().isNull(); }), 2);
    CChildCascade small;  // never larger than the area
    EXPECT_EQ(small.Next({200, 150}, {240, 180}, 20), QRect(0, 0, 200, 150));
}

TEST_F(DocTemplateTest, ClosingTheLastWindowDestroysTheViewAndThenTheDocument)
{
    CDocument* doc = m_template->OpenNewDocument();
    CMDIChildWnd* first = m_template->GetActiveFrame();
    CMDIChildWnd* second = m_template->ShowNewFrame(*doc);
    EXPECT_EQ(first->windowTitle(), "KVT1:1");
    EXPECT_EQ(second->windowTitle(), "KVT1:2");
    m_events.clear();

    first->close();
    ProcessDeletes();
    EXPECT_EQ(m_events, std::vector<std::string>{"view gone: KVT1"});
    EXPECT_EQ(second->windowTitle(), "KVT1");
    EXPECT_EQ(m_template->GetDocuments().size(), 1u);

    // Close File closes every window of the document; the document leaves the list at once.
    ASSERT_TRUE(second->OnCommand(cmd::ID_FILE_CLOSE));
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_EQ(m_template->GetActiveDocument(), nullptr);
    ProcessDeletes();
    EXPECT_EQ(m_events, (std::vector<std::string>{"view gone: KVT1", "view gone: KVT1", "doc gone: KVT1"}));
}

TEST_F(DocTemplateTest, DestroyingTheTemplateClosesViewsBeforeDocuments)
{
    m_template->OpenNewDocument();
    m_template->CreateNewDocument()->SetTitle("windowless");
    m_events.clear();
    m_template.reset();
    EXPECT_EQ(m_events, (std::vector<std::string>{"view gone: KVT1", "doc gone: KVT1", "doc gone: windowless"}));
}

TEST_F(DocTemplateTest, SaveAsProposesTheTitleCutAtTheFirstDubiousCharacter)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"demo-Shadow1", "demo-Shadow1.kvt"}, {"New-Stacked-Stream", "New-Stacked-Stream.kvt"},
        {"two words", "two.kvt"},             {"a#b", "a.kvt"},
        {"a%b", "a.kvt"},                     {"a;b", "a.kvt"},
        {"a/b", "a.kvt"},                     {"a\\b", "a.kvt"},
        {"#first", ".kvt"},
    };
    CDocument* doc = m_template->CreateNewDocument();
    for (const auto& [title, proposed] : cases) {
        doc->SetTitle(title);
        EXPECT_EQ(m_template->ProposedFileName(*doc), proposed) << title;
    }
}

TEST_F(DocTemplateTest, SaveWithoutAPathGoesThroughTheDialogAndTakesTheChosenName)
{
    auto* doc = static_cast<CKVTPlayerDoc*>(m_template->CreateNewDocument());
    doc->SetTitle("demo-Shadow1");
    doc->m_pStream = MakeTaggedStream(3, 2, 1, 10);
    CMDIChildWnd* frame = m_template->ShowNewFrame(*doc);
    m_answer = m_dir / "chosen.kvt";

    ASSERT_TRUE(frame->OnCommand(cmd::ID_FILE_SAVE));
    ASSERT_EQ(m_dialogCalls.size(), 1u);
    EXPECT_FALSE(m_dialogCalls[0].bOpen);
    EXPECT_EQ(m_dialogCalls[0].proposed, "demo-Shadow1.kvt");
    EXPECT_EQ(m_dialogCalls[0].filter, QString::fromUtf8("KVT 檔案 (*.kvt);;所有文件 (*.*)"));
    EXPECT_EQ(ReadBytes(m_dir / "chosen.kvt").size(), 30u);
    EXPECT_EQ(doc->GetPathName(), m_dir / "chosen.kvt");
    EXPECT_EQ(doc->GetTitle(), "chosen.kvt");
    EXPECT_EQ(frame->windowTitle(), "chosen.kvt");
    EXPECT_EQ(m_paths, std::vector<std::filesystem::path>{m_dir / "chosen.kvt"});

    // With a path, Save writes there without asking; Save As offers the path.
    ASSERT_TRUE(m_template->DoFileSave(*doc));
    EXPECT_EQ(m_dialogCalls.size(), 1u);
    m_answer.reset();
    EXPECT_FALSE(m_template->DoSaveAs(*doc));
    ASSERT_EQ(m_dialogCalls.size(), 2u);
    EXPECT_EQ(m_dialogCalls[1].proposed, QString::fromStdString((m_dir / "chosen.kvt").string()));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DocTemplateTest, ACancelledOrFailedSaveLeavesTheDocumentAsItWas)
{
    auto* doc = static_cast<CKVTPlayerDoc*>(m_template->CreateNewDocument());
    doc->SetTitle("Shadow2");
    EXPECT_FALSE(m_template->DoFileSave(*doc));  // cancelled
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Shadow2.kvt"));

    // A document without a stream writes nothing, so the existing file survives.
    WriteBytes(m_dir / "precious.kvt", {1, 2, 3});
    m_answer = m_dir / "precious.kvt";
    EXPECT_FALSE(m_template->DoFileSave(*doc));
    EXPECT_EQ(ReadBytes(m_dir / "precious.kvt"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(doc->GetTitle(), "Shadow2");
    EXPECT_TRUE(doc->GetPathName().empty());
    EXPECT_TRUE(m_paths.empty());
}

TEST_F(DocTemplateTest, OpeningAFileTwiceActivatesTheWindowAlreadyOpen)
{
    auto bytes = HeaderBytes(3, 2, 1, 6);
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6});
    WriteBytes(m_dir / "a.kvt", bytes);
    WriteBytes(m_dir / "b.kvt", bytes);

    CDocument* a = m_template->OpenDocumentFile(m_dir / "a.kvt");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetTitle(), "a.kvt");
    EXPECT_NE(static_cast<CKVTPlayerDoc*>(a)->m_pStream, nullptr);
    CDocument* b = m_template->OpenDocumentFile(m_dir / "b.kvt");
    EXPECT_EQ(m_template->GetActiveDocument(), b);

    EXPECT_EQ(m_template->OpenDocumentFile(m_dir.Path() / "." / "a.kvt"), a);
    EXPECT_EQ(m_template->GetActiveDocument(), a);
    EXPECT_EQ(m_area->subWindowList().size(), 2);
    EXPECT_EQ(m_paths, (std::vector<std::filesystem::path>{m_dir / "a.kvt", m_dir / "b.kvt", m_dir / "a.kvt"}));
}

TEST_F(DocTemplateTest, AFileThatRunsOutOfDataLeavesNoDocumentBehind)
{
    WriteBytes(m_dir / "short.kvt", {'K', 'V', 0, 0});
    EXPECT_EQ(m_template->OpenDocumentFile(m_dir / "short.kvt"), nullptr);
    EXPECT_EQ(m_messages.Messages(), std::vector<std::string>{kFailedInvalidFormat});
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_TRUE(m_area->subWindowList().isEmpty());
    EXPECT_TRUE(m_paths.empty());
}
