// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The splash window: the splash picture in a borderless window, centred, for 750 ms or until the
// first key or mouse press, which does nothing else.
//
// Wiring, by the application:
//   InitInstance:        CSplashWnd::EnableSplash(cmdInfo.m_bShowSplash);  // off with Embedding/Automation
//   end of main frame creation: CSplashWnd::ShowSplash(pMainFrame);
//   PreTranslateMessage: if (CSplashWnd::FilterAppMessage(event)) return true;  // before anything else

#include <QBasicTimer>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "Pictures.h"  // kvt_resources

class CSplashWnd : public QWidget {
public:
    static constexpr int kTimerPeriod = 750;  // ms

    static void EnableSplash(bool bEnable);
    // Shows the splash window over `owner` (repainted when the splash goes). Nothing happens when
    // the splash is off, already up, or the picture can't be loaded; no message either way.
    static void ShowSplash(QWidget* owner, const QString& picture = QString::fromLatin1(pictures::kSplash));
    // True when the event closed the splash window and must be dropped.
    static bool FilterAppMessage(QEvent* event);

    // The one splash window, or null.
    static CSplashWnd* Current() { return c_pSplashWnd; }

    void HideSplash();

    ~CSplashWnd() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    CSplashWnd(QWidget* owner, QPixmap bitmap);
    CSplashWnd(const CSplashWnd&) = delete;
    CSplashWnd& operator=(const CSplashWnd&) = delete;

    static bool IsClosingPress(const QEvent* event);

    static inline bool c_bShowSplashWnd = false;
    static inline CSplashWnd* c_pSplashWnd = nullptr;

    QPixmap m_bitmap;
    QPointer<QWidget> m_pOwner;
    QBasicTimer m_timer;
};
