// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The middle of the window: what the shares are made by (a scheme's family, k, n and variant, two
// covers, or a key), an optional seed with kvt's warning, what the catalogue promises for the
// choice or kvt's refusal of it, where the shares go, and the button that makes them.

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

    QComboBox* GetKindBox() const { return m_kind; }
    QComboBox* GetVariantBox() const { return m_variant; }
    QLineEdit* GetCoverEdit(int i) const { return m_cover[i]; }
    QLineEdit* GetKeyEdit() const { return m_key; }
    QLabel* GetSeedWarning() const { return m_seedWarning; }
    QPushButton* GetMakeButton() const { return m_make; }
    QLabel* GetRefusalLabel() const { return m_refusal; }

private:
    QWidget* CreateStreamRow(QLineEdit* edit, const QString& caption);
    void TakeControls();
    void ChooseFolder();

    CStudioSession& m_session;
    std::function<void()> m_onMake;
    bool m_bShowing = false;

    QComboBox* m_kind;
    QWidget* m_schemeControls;
    QComboBox* m_family;
    QSpinBox* m_k;
    QSpinBox* m_n;
    QComboBox* m_variant;
    QWidget* m_coverControls;
    QLineEdit* m_cover[2];
    QWidget* m_keyControls;
    QLineEdit* m_key;
    QLineEdit* m_seed;
    QLabel* m_seedWarning;
    QLabel* m_promise;
    QLabel* m_refusal;
    QLineEdit* m_folder;
    QPushButton* m_make;
};
