// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command handling without a windowing system: every object that can carry out commands (views,
// documents, frames, the application) is a CCmdTarget holding a table from command id to a handler
// and, optionally, a state handler. The command router asks targets in order; a command that no
// target handles is disabled.

#include <functional>
#include <map>

// The state of one command while it is being decided: enabled unless a state handler says otherwise.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_nID(id) {}
    void Enable(bool bOn = true) { m_bEnabled = bOn; }
    // 0 unchecked, 1 checked.
    void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }

    int GetID() const { return m_nID; }
    bool IsEnabled() const { return m_bEnabled; }
    int GetCheck() const { return m_nCheck; }

private:
    int m_nID;
    bool m_bEnabled = true;
    int m_nCheck = 0;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Whether this target carries out `id` (a state handler alone doesn't count).
    bool HasHandler(int id) const;
    // Carries out `id`; false when this target has no handler for it.
    bool OnCommand(int id);
    // Decides the state of ui's command; false when this target has neither a handler nor a state
    // handler for it. A handler without a state handler leaves the command enabled.
    bool OnUpdateCommand(CCmdUI& ui) const;

protected:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI&)>;
    void OnCommandId(int id, Handler handler, UpdateHandler update = {});
    // A state handler for a command that another target carries out, or that has none at all.
    void OnUpdateCommandId(int id, UpdateHandler update);

private:
    struct Entry {
        Handler handler;
        UpdateHandler update;
    };
    std::map<int, Entry> m_handlers;
};
