// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The middle of the window: the scheme (family, k, n, variant), an optional seed with its warning,
// what the catalogue promises for the choice or kvt's refusal of it, where the shares go, and the
// button that makes them.

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class CStudioSession;
struct SchemeSettings;

class CSchemePanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CSchemePanel)

public:
    CSchemePanel(CStudioSession& session, QWidget* parent = nullptr);

    void SetMakeHandler(std::function<void()> handler) { m_onMake = std::move(handler); }
    // Shows the session's scheme and output folder; Make is offered only with a source and a
    // scheme kvt would make.
    void Refresh();
    // The controls' choice; empty with the refusal shown when the seed is no number kvt takes.
    std::optional<SchemeSettings> ReadControls() const;

    QPushButton* GetMakeButton() const { return m_make; }
    QLabel* GetRefusalLabel() const { return m_refusal; }

private:
    void TakeControls();
    void ChooseFolder();

    CStudioSession& m_session;
    std::function<void()> m_onMake;
    bool m_bShowing = false;

    QComboBox* m_family;
    QSpinBox* m_k;
    QSpinBox* m_n;
    QSpinBox* m_variant;
    QLineEdit* m_seed;
    QLabel* m_seedWarning;
    QLabel* m_promise;
    QLabel* m_refusal;
    QLineEdit* m_folder;
    QPushButton* m_make;
};
