// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppResources.h"

#include <QStringList>
#include <map>

#include "framework/CommandIds.h"

namespace res {
namespace {
using namespace cmd;

const std::vector<Popup> kMenu128 = {
    {"檔案(&F)",
     {{ID_FILE_NEW, "開啟新檔(&N)\tCtrl+N", true},
      {ID_FILE_OPEN, "開啟舊檔(&O)...\tCtrl+O"},
      {ID_SEPARATOR, nullptr},
      {ID_MAKER_WIZARD, "KVT 檔產生精靈(&M)..."},
      {ID_SEPARATOR, nullptr},
      {ID_FILE_MRU_FILE1, "最近開啟檔案", true},
      {ID_SEPARATOR, nullptr},
      {ID_APP_EXIT, "結束(&X)"}}},
    {"檢視(&V)", {{ID_VIEW_TOOLBAR, "工具列(&T)"}, {ID_VIEW_STATUS_BAR, "狀態列(&S)"}}},
    {"說明(&H)", {{ID_APP_ABOUT, "關於 KVTPlayer(&A)..."}}},
};

const std::vector<Popup> kMenu129 = {
    {"檔案(&F)",
     {{ID_FILE_NEW, "開啟新檔(&N)\tCtrl+N", true},
      {ID_FILE_OPEN, "開啟舊檔(&O)...\tCtrl+O"},
      {ID_FILE_CLOSE, "關閉檔案(&C)"},
      {ID_FILE_SAVE, "儲存檔案(&S)\tCtrl+S"},
      {ID_FILE_SAVE_AS, "另存新檔(&A)..."},
      {ID_SEPARATOR, nullptr},
      {ID_MAKER_WIZARD, "KVT 檔產生精靈(&M)..."},
      {ID_SEPARATOR, nullptr},
      {ID_FILE_MRU_FILE1, "最近開啟檔案", true},
      {ID_SEPARATOR, nullptr},
      {ID_APP_EXIT, "結束(&X)"}}},
    {"檢視(&V)",
     {{ID_VIEW_TOOLBAR, "工具列(&T)"},
      {ID_VIEW_STATUS_BAR, "狀態列(&S)"},
      {ID_SEPARATOR, nullptr},
      {ID_FULL_SCREEN, "全螢幕"}}},
    {"動作(&M)",
     {{ID_CREATE_SHADOWS, "產生 VSS(2, 2) Shadows(&C)\tCtrl+C"},
      {ID_SEPARATOR, nullptr},
      {ID_STACK_SHADOWS, "選擇 Shadows 重疊的方式(&S)...\tCtrl+Z"}}},
    {"播放控制(&C)",
     {{ID_PLAY, "播放(&P)\tP"},
      {ID_STOP, "停止(&S)\tS"},
      {ID_PAUSE, "暫停(&H)\tH"},
      {ID_NEXT, "下一張(&B)\tSpacebar"},
      {ID_PREVIOUS, "上一張(&B)\tBackspace"}}},
    {"視窗(&W)",
     {{ID_WINDOW_NEW, "新增視窗(&N)"},
      {ID_WINDOW_CASCADE, "重疊顯示(&C)"},
      {ID_WINDOW_TILE_HORZ, "並排顯示(&T)"},
      {ID_WINDOW_ARRANGE, "排列圖示(&A)"}}},
    {"說明(&H)", {{ID_APP_ABOUT, "關於 KVTPlayer(&A)..."}}},
};

const std::vector<Accelerator> kAccel128 = {
    {ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
    {ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},
    {ID_CREATE_SHADOWS, QKeySequence(Qt::CTRL | Qt::Key_C)},
    {ID_STACK_SHADOWS, QKeySequence(Qt::CTRL | Qt::Key_Z)},
    {ID_PLAY, QKeySequence(Qt::Key_P)},
    {ID_STOP, QKeySequence(Qt::Key_S)},
    {ID_PAUSE, QKeySequence(Qt::Key_H)},
    {ID_NEXT, QKeySequence(Qt::Key_Space)},
    {ID_PREVIOUS, QKeySequence(Qt::Key_Backspace)},
    {ID_LEAVE_FULL_SCREEN, QKeySequence(Qt::Key_Escape)},
    {ID_IMAGE_UP, QKeySequence(Qt::Key_Up)},
    {ID_IMAGE_DOWN, QKeySequence(Qt::Key_Down)},
    {ID_IMAGE_LEFT, QKeySequence(Qt::Key_Left)},
    {ID_IMAGE_RIGHT, QKeySequence(Qt::Key_Right)},
    {ID_DELAY_UP_KEYPAD, QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
    {ID_DELAY_UP, QKeySequence(Qt::Key_Equal)},
    {ID_DELAY_DOWN_KEYPAD, QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)},
    {ID_DELAY_DOWN, QKeySequence(Qt::Key_Minus)},
    {ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
    {ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)},
};

const std::vector<int> kToolBar128 = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR,
                                      ID_PLAY, ID_PAUSE, ID_STOP, ID_SEPARATOR,
                                      ID_PREVIOUS, ID_NEXT, ID_SEPARATOR, ID_DELAY_SETTING,
                                      ID_SEPARATOR, ID_APP_ABOUT};
const std::vector<int> kToolBar132 = {ID_LEAVE_FULL_SCREEN};

const std::map<int, const char*> kToolBarPictures = {
    {ID_FILE_NEW, "new"},       {ID_FILE_OPEN, "open"},     {ID_FILE_SAVE, "save"},
    {ID_PLAY, "play"},          {ID_PAUSE, "pause"},        {ID_STOP, "stop"},
    {ID_PREVIOUS, "previous"},  {ID_NEXT, "next"},          {ID_DELAY_SETTING, "delay"},
    {ID_APP_ABOUT, "about"},    {ID_LEAVE_FULL_SCREEN, "leave-full-screen"},
};

const std::map<int, const char*> kStringTable = {
    {AFX_IDS_APP_TITLE, "KVTPlayer"},
    {IDR_MAINFRAME, "KVTPlayer"},
    {IDR_KVTTYPE, "\nKVT\nKVT\nKVT 檔案 (*.kvt)\n.kvt\nKVTPlayer.Document\nKVT Document"},
    {AFX_IDS_IDLEMESSAGE, "就緒"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_FILE_OPEN, "開啟現有文件\n開啟舊檔"},
    {ID_FILE_CLOSE, "關閉使用中文件\n關閉檔案"},
    {ID_FILE_SAVE, "儲存使用中文件\n儲存檔案"},
    {ID_FILE_SAVE_AS, "以新名稱儲存使用中文件\n另存新檔"},
    {ID_FILE_MRU_FILE1, "開啟這份文件"},
    {ID_FILE_MRU_FILE1 + 1, "開啟這份文件"},
    {ID_FILE_MRU_FILE1 + 2, "開啟這份文件"},
    {ID_FILE_MRU_FILE1 + 3, "開啟這份文件"},
    {ID_APP_EXIT, "結束應用程式; 提示儲存文件\n結束"},
    {ID_APP_ABOUT, "顯示程式資訊、版本號碼及著作權\n關於"},
    {ID_VIEW_TOOLBAR, "顯示或隱藏工具列\n切換工具列"},
    {ID_VIEW_STATUS_BAR, "顯示或隱藏狀態列\n切換狀態列"},
    {ID_WINDOW_NEW, "開啟使用中文件的另一個視窗\n新增視窗"},
    {ID_WINDOW_ARRANGE, "排列視窗底端的圖示\n排列圖示"},
    {ID_WINDOW_CASCADE, "以重疊方式排列視窗\n重疊視窗"},
    {ID_WINDOW_TILE_HORZ, "以非重疊並排方式排列視窗\n並排視窗"},
    {ID_NEXT_PANE, "切換到下一個視窗窗格\n下一個窗格"},
    {ID_PREV_PANE, "切換回上一個視窗窗格\n上一個窗格"},
    {ID_MAKER_WIZARD, "產生一個 KVT 檔\nKVT 檔產生精靈"},
    {ID_CREATE_SHADOWS, "產生 VSS(2, 2) Shadows\n產生 VSS(2, 2) Shadows"},
    {ID_STACK_SHADOWS, "選擇 Shadows 重疊的方式\n選擇 Shadows 重疊的方式"},
    {ID_PLAY, "播放\n播放"},
    {ID_STOP, "停止\n停止"},
    {ID_PAUSE, "暫停\n暫停"},
    {ID_NEXT, "下一張\n下一張"},
    {ID_PREVIOUS, "上一張\n上一張"},
    {ID_DELAY_SETTING, "相關 Shadows 延遲設定\n相關 Shadows 延遲設定"},
};

// One half of a command's entry: 0 the prompt, 1 the tooltip (the prompt when there is none).
QString EntryHalf(int nID, int half)
{
    const QStringList parts = LoadString(nID).split(QLatin1Char('\n'));
    return parts.value(half, parts.front());
}
}  // namespace

const std::vector<Popup>& LoadMenu(int nIDResource)
{
    return nIDResource == IDR_KVTTYPE ? kMenu129 : kMenu128;
}

const std::vector<Accelerator>& LoadAccelTable()
{
    return kAccel128;
}

const std::vector<int>& LoadToolBar(int nIDResource)
{
    return nIDResource == IDR_FULLSCREEN ? kToolBar132 : kToolBar128;
}

QString ToolBarPicture(int nID)
{
    const auto it = kToolBarPictures.find(nID);
    return it == kToolBarPictures.end() ? QString()
                                        : QStringLiteral(":/pictures/toolbar/%1.png").arg(QLatin1String(it->second));
}

QString LoadString(int nID)
{
    const auto it = kStringTable.find(nID);
    return it == kStringTable.end() ? QString() : QString::fromUtf8(it->second);
}

QString CommandPrompt(int nID)
{
    return EntryHalf(nID, 0);
}

QString CommandToolTip(int nID)
{
    return EntryHalf(nID, 1);
}

QString NumberedEntry(int nIndex, const QString& name)
{
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(name);
}

QString FullScreenBarCaption()
{
    return QStringLiteral("Full Screen");
}

QString MainFrameCaption(const QString& documentTitle, bool bMaximized)
{
    const QString app = LoadString(IDR_MAINFRAME);
    if (documentTitle.isEmpty())
        return app;
    return app + QStringLiteral(" - ") + (bMaximized ? QStringLiteral("[%1]").arg(documentTitle) : documentTitle);
}
}  // namespace res
