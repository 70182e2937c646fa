// SPDX-License-Identifier: GPL-3.0-or-later
// The player's keys as an X server delivers them, pressed with xdotool.

#include <QComboBox>
#include <QTimer>

#include "AppTestFixture.h"
#include "XServer.h"
#include "app/ChildFrame.h"
#include "framework/CommandIds.h"
#include "player/KVTPlayerView.h"
#include "shadows/SelectShadowsDlg.h"

namespace {
class XKeysTest : public AppTest {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_X_SERVER();
        ASSERT_TRUE(Start({QString::fromStdString(StreamFile("demo.kvt", 3).string())}));
        ASSERT_TRUE(Activate());  // no window manager does it here
    }

    CKVTPlayerView& View() const { return static_cast<CChildFrame&>(*Template().GetActiveFrame()).GetView(); }
    // True once the keys' events have brought the delay to `delay`.
    bool DelayBecomes(int delay) const
    {
        return QTest::qWaitFor([&] { return View().GetDelay() == delay; }, kWindowManagerWaitMs);
    }
};

TEST_F(XKeysTest, KeypadPlusAndMinusStepTheDelay)
{
    ASSERT_TRUE(PressKeys({"KP_Subtract", "KP_Subtract", "KP_Subtract"}));
    EXPECT_TRUE(DelayBecomes(97));
    ASSERT_TRUE(PressKeys({"KP_Add", "KP_Add"}));
    EXPECT_TRUE(DelayBecomes(99)) << View().GetDelay();
    ASSERT_TRUE(PressKeys({"shift+equal", "minus"}));  // Shift+= is no key of the player's
    EXPECT_TRUE(DelayBecomes(98)) << View().GetDelay();
}

TEST_F(XKeysTest, TheSliderHasTheKeyboardOnceADocumentOpens)
{
    ASSERT_TRUE(PressKeys({"Home"}));
    EXPECT_TRUE(DelayBecomes(1));
    EXPECT_EQ(QApplication::focusWidget(), View().GetSlider());
}

TEST_F(XKeysTest, KeysTypedInAModalDialogOrItsListStayThere)
{
    bool bListClosed = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CSelectShadowsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->activateWindow();
        if (QTest::qWaitForWindowActive(dlg, kWindowManagerWaitMs)) {
            PressKeys({"minus", "p", "ctrl+c"});
            dlg->m_cmbShadow1->showPopup();
            PressKeys({"minus", "KP_Add", "p", "Escape"});  // Escape closes the list once the rest is in
            bListClosed =
                QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, kWindowManagerWaitMs);
        }
        dlg->reject();
    });
    Router().Action(cmd::ID_STACK_SHADOWS)->trigger();
    EXPECT_TRUE(bListClosed);
    EXPECT_EQ(View().GetDelay(), 100);
    EXPECT_FALSE(View().IsPlaying());
    EXPECT_EQ(Template().GetDocuments().size(), 1u);  // no shadows made

    ASSERT_TRUE(Activate());  // the main window's keys are the view's again
    ASSERT_TRUE(PressKeys({"minus", "p"}));
    EXPECT_TRUE(DelayBecomes(99));
    EXPECT_TRUE(QTest::qWaitFor([this] { return View().IsPlaying(); }, kWindowManagerWaitMs));
}
}  // namespace
