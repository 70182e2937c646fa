// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/CmdTarget.h"

bool CCmdTarget::HasHandler(int id) const
{
    const auto it = m_handlers.find(id);
    return it != m_handlers.end() && it->second.handler;
}

bool CCmdTarget::OnCommand(int id)
{
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end() || !it->second.handler)
        return false;
    it->second.handler();
    return true;
}

bool CCmdTarget::OnUpdateCommand(CCmdUI& ui) const
{
    const auto it = m_handlers.find(ui.GetID());
    if (it == m_handlers.end())
        return false;
    if (it->second.update)
        it->second.update(ui);
    return true;
}

void CCmdTarget::OnCommandId(int id, Handler handler, UpdateHandler update)
{
    m_handlers[id] = {std::move(handler), std::move(update)};
}

void CCmdTarget::OnUpdateCommandId(int id, UpdateHandler update)
{
    m_handlers[id].update = std::move(update);
}
