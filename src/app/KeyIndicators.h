// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status bar's key-state panes: "CAP", "NUM" and "SCRL" show while their lock is on.

#include <QObject>
#include <functional>

class QLabel;
class QStatusBar;

// The locks that are on, as the X server reports them; none on other display servers.
unsigned QuerySystemKeyLocks();

class CKeyIndicators : public QObject {
public:
    enum Lock : unsigned { kCapsLock = 1, kNumLock = 2, kScrollLock = 4 };
    // The locks that are on, as a set of Lock bits.
    using LockSource = std::function<unsigned()>;

    // Adds the three panes to `statusBar`, right-aligned, and keeps them current.
    CKeyIndicators(QStatusBar& statusBar, LockSource source = SystemLocks());

    // Reads the locks again and updates the panes.
    void Update();

    // The keyboard's locks as the display server reports them.
    static LockSource SystemLocks();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LockSource m_source;
    QLabel* m_panes[3];
};
