// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's two shadow commands, over its document template: make the shadows of the
// active document, and put two shadow documents together as the Select Shadows dialog says.
// New documents get their windows only once their streams are complete; a failed command leaves
// no document behind.

#include <functional>

class CMultiDocTemplate;
class CSelectShadowsDlg;

class CShadowCommands {
public:
    // Runs the dialog modally; true when it ended with OK. Replaceable so tests can answer it.
    using DialogRunner = std::function<bool(CSelectShadowsDlg& dlg)>;

    explicit CShadowCommands(CMultiDocTemplate* pTemplate);

    void OnCreateShadows();
    void OnStackShadows();

    void SetDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

private:
    CMultiDocTemplate* m_pTemplate;
    DialogRunner m_runDialog;
};
