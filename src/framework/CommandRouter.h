// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Routes command ids to command targets through one QAction per id.
//
// The shell supplies the chain of targets, in the order they are asked: the active view, its
// document, the child frame, the main frame, the application (null entries are skipped). For every
// command id the router keeps one QAction, created on first use by Action(id); menus, toolbars,
// shortcuts and context menus all use that same action, so a command is refreshed and refused in
// one place.
//
// State of a command: decided by the first target in the chain whose OnUpdateCommand answers
// (enabled and checked from its CCmdUI); a command that no target in the chain has a handler for is
// disabled, whatever the state handlers say.
//
// States are refreshed by UpdateActions(): call it when the active window changes (the router
// already does so when the application's focus window changes); menus given to WatchMenu() refresh
// their actions just before they show; every command issued through Execute() (which is what a
// triggered action calls) is refreshed first and is not carried out when disabled, and all states
// are refreshed after it ran. Widgets whose commands change state on their own (a playing view) call
// UpdateActions() themselves.
//
// Typical use:
//     CCommandRouter router;
//     router.SetChain([&] { return std::vector<CCmdTarget*>{view, doc, frame, mainFrame, app}; });
//     QAction* play = router.Action(cmd::ID_PLAY);
//     play->setText("Play"); menu->addAction(play); router.WatchMenu(menu);

#include <QObject>
#include <functional>
#include <map>
#include <vector>

#include "framework/CmdTarget.h"

class QAction;
class QMenu;

class CCommandRouter : public QObject {
public:
    using Chain = std::function<std::vector<CCmdTarget*>()>;

    explicit CCommandRouter(QObject* parent = nullptr);
    ~CCommandRouter() override;
    CCommandRouter(const CCommandRouter&) = delete;
    CCommandRouter& operator=(const CCommandRouter&) = delete;

    // Replaces the chain of targets; an empty chain function means no targets (all disabled).
    void SetChain(Chain chain);

    // The action of `id`, owned by the router, created (with its current state) on first use.
    // Triggering it calls Execute(id).
    QAction* Action(int id);

    // The state `id` has now: what the chain decides, disabled when no target handles it.
    CCmdUI QueryState(int id) const;

    // Carries out `id` when it is enabled now, by the first target in the chain that handles it.
    // Returns whether it was carried out.
    bool Execute(int id);

    // Refreshes the enabled and checked states of every action made so far.
    void UpdateActions();

    // Refreshes every action each time `menu` is about to show.
    void WatchMenu(QMenu* menu);

private:
    std::vector<CCmdTarget*> Targets() const;
    void Apply(QAction& action, const CCmdUI& ui) const;

    Chain m_chain;
    std::map<int, QAction*> m_actions;  // children of the router
};
