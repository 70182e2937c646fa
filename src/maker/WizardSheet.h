// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A property sheet in wizard mode: one page shown at a time, with Back, Next, an always-present
// Finish and Cancel. Pages decide whether a step may happen; the sheet only moves between them.
// Pages may be appended while the wizard runs.

#include <QDialog>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QPushButton;
class QStackedWidget;

class CWizardPage : public QWidget {
public:
    explicit CWizardPage(const QString& caption) { setWindowTitle(caption); }

    // Called each time the page becomes the current one.
    virtual void OnSetActive() {}
    // Return false to stay on the page.
    virtual bool OnWizardNext() { return true; }
    virtual bool OnWizardBack() { return true; }
    virtual bool OnWizardFinish() { return true; }
};

class CWizardSheet : public QDialog {
public:
    // Button flags of SetWizardButtons.
    enum { PSWIZB_BACK = 0x1, PSWIZB_NEXT = 0x2, PSWIZB_FINISH = 0x4, PSWIZB_DISABLEDFINISH = 0x8 };
    // Button ids, and the results DoModal returns.
    enum { IDCANCEL = 2, ID_WIZBACK = 0x3023, ID_WIZNEXT = 0x3024, ID_WIZFINISH = 0x3025 };

    explicit CWizardSheet(QWidget* parent = nullptr);
    ~CWizardSheet() override;

    void AddPage(std::unique_ptr<CWizardPage> page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CWizardPage* GetPage(int index) const { return m_pages.at(static_cast<std::size_t>(index)).get(); }
    int GetPageIndex(const CWizardPage* page) const;
    int GetActiveIndex() const;

    // Takes effect once the current handler has returned, as a posted request does.
    void SetWizardButtons(int flags);

    // Runs modally; ID_WIZFINISH when the user finished, IDCANCEL otherwise.
    int DoModal() { return exec(); }
    void reject() override { done(IDCANCEL); }

    // Buttons by id, for tests.
    QPushButton* Control(int id) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetActivePage(int index);
    void ApplyWizardButtons(int flags);
    void OnBack();
    void OnNext();
    void OnFinish();

    QStackedWidget* m_stack;
    QPushButton* m_btnBack;
    QPushButton* m_btnNext;
    QPushButton* m_btnFinish;
    QPushButton* m_btnCancel;
    // Freed before the base class deletes the child widgets, so each page leaves the stack first.
    std::vector<std::unique_ptr<CWizardPage>> m_pages;
    bool m_bStarted = false;
};
