// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KVTPlayerApp.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "AppTestFixture.h"
#include "app/CommandLineInfo.h"
#include "framework/CommandIds.h"
#include "player/KVTPlayerDoc.h"
#include "player/SetTimerDlg.h"

using Texts = std::vector<std::string>;
using Strings = std::vector<std::string>;

TEST_F(AppTest, WithoutACommandLineNoDocumentIsOpenAndMenu128Shows)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Template().GetDocuments().empty());
    EXPECT_EQ(Frame().GetMenuID(), 128);
    EXPECT_EQ(Frame().windowTitle(), "KVTPlayer");
    EXPECT_EQ(PopupTitles(), (Strings{"檔案(&F)", "檢視(&V)", "說明(&H)"}));
    const auto& menus = Frame().GetMenus();
    EXPECT_EQ(Entries(menus[0]), (Texts{"開啟新檔(&N)\tCtrl+N (grey)", "開啟舊檔(&O)...\tCtrl+O", "-",
                                          "KVT 檔產生精靈(&M)...", "-", "最近開啟檔案 (grey)", "-", "結束(&X)"}));
    EXPECT_EQ(Entries(menus[1]), (Texts{"工具列(&T)", "狀態列(&S)"}));
    EXPECT_EQ(Entries(menus[2]), (Texts{"關於 KVTPlayer(&A)..."}));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(AppTest, AFileOnTheCommandLineOpensInAChildWindowWithMenu129)
{
    const auto path = StreamFile("demo.kvt");
    ASSERT_TRUE(Start({QString::fromStdString(path.string())}));
    ASSERT_EQ(Template().GetDocuments().size(), 1u);
    EXPECT_EQ(Template().GetActiveDocument()->GetTitle(), "demo.kvt");
    EXPECT_EQ(Frame().GetMenuID(), 129);
    EXPECT_EQ(Frame().windowTitle(), "KVTPlayer - demo.kvt");
    EXPECT_EQ(PopupTitles(), (Strings{"檔案(&F)", "檢視(&V)", "動作(&M)", "播放控制(&C)", "視窗(&W)", "說明(&H)"}));
    const auto& menus = Frame().GetMenus();
    EXPECT_EQ(Entries(menus[0]),
              (Texts{"開啟新檔(&N)\tCtrl+N (grey)", "開啟舊檔(&O)...\tCtrl+O", "關閉檔案(&C)", "儲存檔案(&S)\tCtrl+S",
                       "另存新檔(&A)...", "-", "KVT 檔產生精靈(&M)...", "-",
                       "&1 " + path.string(),
                       "-", "結束(&X)"}));
    EXPECT_EQ(Entries(menus[1]), (Texts{"工具列(&T)", "狀態列(&S)", "-", "全螢幕"}));
    // The shadow commands' states are theirs to decide; only the captions are the menu's.
    Texts actions = Entries(menus[2]);
    for (std::string& entry : actions)
        entry = entry.substr(0, entry.find(" (grey)"));
    EXPECT_EQ(actions, (Texts{"產生 VSS(2, 2) Shadows(&C)\tCtrl+C", "-", "選擇 Shadows 重疊的方式(&S)...\tCtrl+Z"}));
    // Not playing yet: everything but Pause.
    EXPECT_EQ(Entries(menus[3]), (Texts{"播放(&P)\tP", "停止(&S)\tS", "暫停(&H)\tH (grey)", "下一張(&B)\tSpacebar",
                                          "上一張(&B)\tBackspace"}));
    EXPECT_EQ(Entries(menus[4]), (Texts{"新增視窗(&N)", "重疊顯示(&C)", "並排顯示(&T)", "排列圖示(&A)"}));
    EXPECT_EQ(Entries(menus[5]), (Texts{"關於 KVTPlayer(&A)..."}));

    // Closing the window brings menu 128 back.
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_CLOSE));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Frame().GetMenuID(), 128);
    EXPECT_EQ(Frame().windowTitle(), "KVTPlayer");
}

TEST_F(AppTest, NewIsDisabledEverywhereAndSaveFollowsTheDocumentsMode)
{
    ASSERT_TRUE(Start());
    QToolButton* newButton = qobject_cast<QToolButton*>(
        Frame().GetToolBar().widgetForAction(Router().Action(cmd::ID_FILE_NEW)));
    ASSERT_NE(newButton, nullptr);
    EXPECT_FALSE(Enabled(cmd::ID_FILE_NEW));
    EXPECT_FALSE(newButton->isEnabled());
    EXPECT_FALSE(Enabled(cmd::ID_FILE_SAVE));

    for (int mode : {0, 1, 2, 3}) {
        auto* doc = static_cast<CKVTPlayerDoc*>(Template().CreateNewDocument());
        doc->SetTitle("mode " + std::to_string(mode));
        doc->m_nMode = mode;
        Template().ShowNewFrame(*doc);
        EXPECT_FALSE(Enabled(cmd::ID_FILE_NEW)) << mode;
        EXPECT_FALSE(newButton->isEnabled()) << mode;
        EXPECT_EQ(Enabled(cmd::ID_FILE_SAVE), mode == 0) << mode;
        EXPECT_EQ(Enabled(cmd::ID_FILE_SAVE_AS), mode == 0) << mode;
        EXPECT_TRUE(Enabled(cmd::ID_FILE_CLOSE)) << mode;
    }
    // Ids the program never handles stay off; the splitter keys have nothing to act on.
    EXPECT_FALSE(Enabled(cmd::ID_NEXT_PANE));
    EXPECT_FALSE(Enabled(cmd::ID_PREV_PANE));
}

TEST_F(AppTest, ARefusedFileOnTheCommandLineShowsItsMessageAndEndsTheProgram)
{
    WriteBytes(m_dir / "kx.kvt", {'K', 'X', 0, 0});
    WriteBytes(m_dir / "short.kvt", HeaderBytes(3, 2, 1, 6));
    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {m_dir / "kx.kvt", "File types error"},
        {m_dir / "short.kvt", "File size not match"},
        {m_dir / "missing.kvt", "Create document error"},
    };
    for (const auto& [path, message] : cases) {
        m_messages.Reset();
        EXPECT_FALSE(Start({QString::fromStdString(path.string())})) << path;
        EXPECT_EQ(m_messages.Messages(), Strings{message}) << path;
        EXPECT_TRUE(Template().GetDocuments().empty());
    }
}

TEST_F(AppTest, SwitchesAloneStartWithOneEmptyDocument)
{
    const CCommandLineInfo embedded = ParseCommandLine({"-Embedding"});
    EXPECT_FALSE(embedded.m_bShowSplash);
    EXPECT_EQ(embedded.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_FALSE(ParseCommandLine({"-automation"}).m_bShowSplash);
    const CCommandLineInfo file = ParseCommandLine({"-x", "/tmp/a.kvt", "b.kvt"});
    EXPECT_TRUE(file.m_bShowSplash);
    EXPECT_EQ(file.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(file.m_strFileName, "/tmp/a.kvt");

    ASSERT_TRUE(Start({"-Embedding"}));
    ASSERT_EQ(Template().GetDocuments().size(), 1u);
    EXPECT_EQ(Template().GetDocuments()[0]->GetTitle(), "KVT1");
    EXPECT_EQ(Frame().GetMenuID(), 129);
}

TEST_F(AppTest, TheOpenDialogAndDropsPassTheSameTest)
{
    ASSERT_TRUE(Start());
    std::optional<std::filesystem::path> answer = m_dir / "bad.kvt";
    QString filter;
    Template().SetFileDialog([&](QWidget*, bool bOpen, const QString&, const QString& f) {
        EXPECT_TRUE(bOpen);
        filter = f;
        return answer;
    });
    WriteBytes(m_dir / "bad.kvt", {});
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_OPEN));
    EXPECT_EQ(filter, QString::fromUtf8("KVT 檔案 (*.kvt);;所有文件 (*.*)"));
    EXPECT_EQ(m_messages.Messages(), Strings{"File types error"});
    EXPECT_TRUE(Template().GetDocuments().empty());

    answer = StreamFile("good.kvt");
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_OPEN));
    ASSERT_EQ(Template().GetDocuments().size(), 1u);

    // Dropped files: each one is opened as by Open.
    m_messages.Reset();
    WriteBytes(m_dir / "kv-only.kvt", {'K', 'V'});
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((m_dir / "kv-only.kvt").string())),
                  QUrl::fromLocalFile(QString::fromStdString(StreamFile("dropped.kvt").string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &drop);
    EXPECT_EQ(m_messages.Messages(), Strings{"File size not match"});
    ASSERT_EQ(Template().GetDocuments().size(), 2u);
    EXPECT_EQ(Template().GetActiveDocument()->GetTitle(), "dropped.kvt");
}

TEST_F(AppTest, TheRecentFileListKeepsTheLastFourNewestFirstAndSurvivesARestart)
{
    ASSERT_TRUE(Start());
    for (const char* name : {"1.kvt", "2.kvt", "3.kvt", "4.kvt", "5.kvt"})
        ASSERT_NE(m_app->OpenDocumentFile(StreamFile(name)), nullptr);
    const CRecentFileList& list = m_app->GetRecentFileList();
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], m_dir / "5.kvt");
    EXPECT_EQ(list[3], m_dir / "2.kvt");

    // Opening one already listed moves it to the top.
    ASSERT_NE(m_app->OpenDocumentFile(m_dir / "3.kvt"), nullptr);
    EXPECT_EQ(list[0], m_dir / "3.kvt");
    EXPECT_EQ(list[1], m_dir / "5.kvt");

    QSettings settings;
    settings.beginGroup("Recent File List");
    EXPECT_EQ(settings.value("File1").toString().toStdString(), (m_dir / "3.kvt").string());
    EXPECT_EQ(settings.value("File4").toString().toStdString(), (m_dir / "2.kvt").string());
    EXPECT_FALSE(settings.contains("File5"));

    // The menu shows them numbered; a file that went bad is refused and leaves the list.
    QAction* first = Router().Action(cmd::ID_FILE_MRU_FILE1);
    EXPECT_TRUE(first->text().startsWith("&1 "));
    EXPECT_TRUE(first->text().endsWith("3.kvt"));
    WriteBytes(m_dir / "5.kvt", {'X'});
    ASSERT_TRUE(Router().Execute(cmd::ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(m_messages.Messages(), Strings{"File types error"});
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list[1], m_dir / "4.kvt");

    m_app.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_app->GetRecentFileList().GetCount(), 3);
    EXPECT_EQ(m_app->GetRecentFileList()[2], m_dir / "2.kvt");
    EXPECT_TRUE(Template().GetDocuments().empty());
    EXPECT_TRUE(Enabled(cmd::ID_FILE_MRU_FILE1 + 2));
    EXPECT_FALSE(Enabled(cmd::ID_FILE_MRU_FILE1 + 3));
}

TEST(RecentFileNames, LongPathsAreShortenedInTheMiddle)
{
    EXPECT_EQ(AbbreviatePath("/home/a/demo.kvt", 30), "/home/a/demo.kvt");
    EXPECT_EQ(AbbreviatePath("/home/someone/streams/2026/secret-demo.kvt", 30), "/home/.../2026/secret-demo.kvt");
    EXPECT_EQ(AbbreviatePath("/home/someone/streams/x/demo.kvt", 30), "/home/.../streams/x/demo.kvt");
    EXPECT_EQ(AbbreviatePath("/home/someone/a-very-long-stream-name-indeed.kvt", 30),
              "a-very-long-stream-name-indeed.kvt");
}

TEST_F(AppTest, QtsOwnDialogsSpeakTraditionalChineseWhileTheProgramsTextsStayAsGiven)
{
    ASSERT_TRUE(Start());
    QFileDialog files(&Frame());
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.labelText(QFileDialog::LookIn).toStdString(), "尋找於：");
    EXPECT_EQ(files.labelText(QFileDialog::Reject).toStdString(), "取消");
    const CSetTimerDlg timer(&Frame());
    Texts buttons;
    for (const QPushButton* button : timer.findChildren<QPushButton*>())
        buttons.push_back(button->text().toStdString());
    EXPECT_EQ(buttons, (Texts{"OK", "Cancel"}));
}
