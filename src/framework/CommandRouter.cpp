// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/CommandRouter.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QWindow>

CCommandRouter::CCommandRouter(QObject* parent) : QObject(parent)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::focusWindowChanged, this, &CCommandRouter::UpdateActions);
}

CCommandRouter::~CCommandRouter() = default;

void CCommandRouter::SetChain(Chain chain)
{
    m_chain = std::move(chain);
    UpdateActions();
}

std::vector<CCmdTarget*> CCommandRouter::Targets() const
{
    std::vector<CCmdTarget*> targets;
    if (m_chain)
        for (CCmdTarget* target : m_chain())
            if (target)
                targets.push_back(target);
    return targets;
}

CCmdUI CCommandRouter::QueryState(int id) const
{
    CCmdUI ui(id);
    const std::vector<CCmdTarget*> targets = Targets();
    bool bHandled = false;
    for (const CCmdTarget* target : targets)
        if (target->HasHandler(id)) {
            bHandled = true;
            break;
        }
    if (!bHandled) {
        ui.Enable(false);
        return ui;
    }
    for (const CCmdTarget* target : targets)
        if (target->OnUpdateCommand(ui))
            break;
    return ui;
}

QAction* CCommandRouter::Action(int id)
{
    if (const auto it = m_actions.find(id); it != m_actions.end())
        return it->second;
    auto* action = new QAction(this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    m_actions.emplace(id, action);
    Apply(*action, QueryState(id));
    return action;
}

bool CCommandRouter::Execute(int id)
{
    const CCmdUI ui = QueryState(id);
    if (const auto it = m_actions.find(id); it != m_actions.end())
        Apply(*it->second, ui);
    if (!ui.IsEnabled())
        return false;
    bool bDone = false;
    for (CCmdTarget* target : Targets())
        if (target->OnCommand(id)) {
            bDone = true;
            break;
        }
    UpdateActions();
    return bDone;
}

void CCommandRouter::UpdateActions()
{
    for (const auto& [id, action] : m_actions)
        Apply(*action, QueryState(id));
}

void CCommandRouter::WatchMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, &CCommandRouter::UpdateActions);
}

void CCommandRouter::Apply(QAction& action, const CCmdUI& ui) const
{
    action.setEnabled(ui.IsEnabled());
    // Only commands that some target checks become checkable, so plain commands don't toggle.
    if (ui.GetCheck() != 0)
        action.setCheckable(true);
    if (action.isCheckable())
        action.setChecked(ui.GetCheck() != 0);
}
