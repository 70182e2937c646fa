// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "framework/CmdTarget.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"

namespace {

// A target whose handlers the test sets and whose runs it counts.
class TestTarget : public CCmdTarget {
public:
    void Handle(int id, bool* pEnabled = nullptr)
    {
        OnCommandId(
            id, [this, id] { m_runs.push_back(id); },
            pEnabled ? UpdateHandler([pEnabled](CCmdUI& ui) { ui.Enable(*pEnabled); }) : UpdateHandler());
    }
    void StateOnly(int id, bool bEnabled, int nCheck = 0)
    {
        OnUpdateCommandId(id, [bEnabled, nCheck](CCmdUI& ui) {
            ui.Enable(bEnabled);
            ui.SetCheck(nCheck);
        });
    }
    std::vector<int> m_runs;
};

struct RouterFixture : testing::Test {
    RouterFixture()
    {
        router.SetChain([this] { return std::vector<CCmdTarget*>{&view, nullptr, &doc, &app}; });
    }
    TestTarget view, doc, app;
    CCommandRouter router;
};

TEST_F(RouterFixture, UnhandledCommandIsDisabledEvenWhenAStateHandlerEnablesIt)
{
    view.StateOnly(cmd::ID_PLAY, true);
    EXPECT_FALSE(router.QueryState(cmd::ID_PLAY).IsEnabled());
    EXPECT_FALSE(router.Action(cmd::ID_PLAY)->isEnabled());
    EXPECT_FALSE(router.Execute(cmd::ID_PLAY));
}

TEST_F(RouterFixture, FirstAnsweringTargetDecidesAndFirstHandlerRuns)
{
    bool bViewSays = false;
    view.Handle(cmd::ID_STOP, &bViewSays);
    app.Handle(cmd::ID_STOP);  // enabled by default, but the view answers first
    EXPECT_FALSE(router.QueryState(cmd::ID_STOP).IsEnabled());
    EXPECT_FALSE(router.Execute(cmd::ID_STOP));
    EXPECT_TRUE(view.m_runs.empty());
    EXPECT_TRUE(app.m_runs.empty());

    bViewSays = true;
    EXPECT_TRUE(router.Execute(cmd::ID_STOP));
    EXPECT_EQ(view.m_runs, std::vector<int>{cmd::ID_STOP});
    EXPECT_TRUE(app.m_runs.empty());
}

TEST_F(RouterFixture, StateHandlerBeforeTheHandlingTargetDecides)
{
    doc.StateOnly(cmd::ID_FILE_SAVE, false);
    app.Handle(cmd::ID_FILE_SAVE);
    EXPECT_FALSE(router.QueryState(cmd::ID_FILE_SAVE).IsEnabled());
    doc.StateOnly(cmd::ID_FILE_SAVE, true, 1);
    const CCmdUI ui = router.QueryState(cmd::ID_FILE_SAVE);
    EXPECT_TRUE(ui.IsEnabled());
    EXPECT_EQ(ui.GetCheck(), 1);
    QAction* action = router.Action(cmd::ID_FILE_SAVE);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());
}

TEST_F(RouterFixture, StaleEnabledActionIsRefusedWhenTriggered)
{
    bool bEnabled = true;
    view.Handle(cmd::ID_PAUSE, &bEnabled);
    QAction* action = router.Action(cmd::ID_PAUSE);
    ASSERT_TRUE(action->isEnabled());
    bEnabled = false;  // the view changed state, nobody refreshed yet
    action->trigger();
    EXPECT_TRUE(view.m_runs.empty());
    EXPECT_FALSE(action->isEnabled());
}

TEST_F(RouterFixture, MenuRefreshesBeforeShowing)
{
    bool bEnabled = false;
    view.Handle(cmd::ID_NEXT, &bEnabled);
    QMenu menu;
    menu.addAction(router.Action(cmd::ID_NEXT));
    router.WatchMenu(&menu);
    ASSERT_FALSE(router.Action(cmd::ID_NEXT)->isEnabled());
    bEnabled = true;
    emit menu.aboutToShow();
    EXPECT_TRUE(router.Action(cmd::ID_NEXT)->isEnabled());
}

TEST_F(RouterFixture, ShortcutOfDisabledCommandDoesNothing)
{
    bool bEnabled = false;
    view.Handle(cmd::ID_PLAY, &bEnabled);
    QWidget window;
    QAction* action = router.Action(cmd::ID_PLAY);
    action->setShortcut(QKeySequence(Qt::Key_F5));
    window.addAction(action);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_TRUE(view.m_runs.empty());

    bEnabled = true;
    router.UpdateActions();
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_EQ(view.m_runs, std::vector<int>{cmd::ID_PLAY});
}

TEST(CommandRouter, WithoutChainEverythingIsDisabled)
{
    CCommandRouter router;
    EXPECT_FALSE(router.Action(cmd::ID_APP_EXIT)->isEnabled());
    EXPECT_EQ(router.Action(cmd::ID_APP_EXIT), router.Action(cmd::ID_APP_EXIT));
    EXPECT_EQ(router.Action(cmd::ID_APP_EXIT)->data().toInt(), cmd::ID_APP_EXIT);
}

}  // namespace
