// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window hosting one player view for tests: its document, a router whose chain is the view and
// its document, the playback and view keys as shortcuts of the router's actions, and a manual
// timer service that the test ticks.

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "TestStreams.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/ManualTimerService.h"
#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"

// A document of one stream (mode 0) or of a stacked pair (mode 3).
inline std::unique_ptr<CKVTPlayerDoc> MakeDoc(std::unique_ptr<CImageStream> first,
                                              std::unique_ptr<CImageStream> second = nullptr)
{
    auto doc = std::make_unique<CKVTPlayerDoc>();
    doc->m_nMode = second ? 3 : 0;
    doc->m_pStream = std::move(first);
    doc->m_pSecondStream = std::move(second);
    return doc;
}

class PlayerTestHost {
public:
    explicit PlayerTestHost(std::unique_ptr<CKVTPlayerDoc> doc) : m_doc(std::move(doc))
    {
        auto timers = std::make_unique<CManualTimerService>();
        m_timers = timers.get();
        m_view = new CKVTPlayerView(m_doc.get(), &m_router, &m_window, std::move(timers));
        auto* layout = new QVBoxLayout(&m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
        m_router.SetChain([this] { return std::vector<CCmdTarget*>{m_view, m_doc.get()}; });
        const std::pair<int, QKeySequence> keys[] = {
            {cmd::ID_PLAY, Qt::Key_P},          {cmd::ID_STOP, Qt::Key_S},
            {cmd::ID_PAUSE, Qt::Key_H},         {cmd::ID_NEXT, Qt::Key_Space},
            {cmd::ID_PREVIOUS, Qt::Key_Backspace}, {cmd::ID_IMAGE_UP, Qt::Key_Up},
            {cmd::ID_IMAGE_DOWN, Qt::Key_Down}, {cmd::ID_IMAGE_LEFT, Qt::Key_Left},
            {cmd::ID_IMAGE_RIGHT, Qt::Key_Right}, {cmd::ID_DELAY_UP_KEYPAD, Qt::KeypadModifier | Qt::Key_Plus},
            {cmd::ID_DELAY_UP, Qt::Key_Equal},  {cmd::ID_DELAY_DOWN_KEYPAD, Qt::KeypadModifier | Qt::Key_Minus},
            {cmd::ID_DELAY_DOWN, Qt::Key_Minus},
        };
        for (const auto& [id, key] : keys) {
            QAction* action = m_router.Action(id);
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            m_window.addAction(action);
        }
        m_window.resize(700, 500);
        m_view->OnInitialUpdate();
    }
    ~PlayerTestHost() { delete m_view; }  // before the document, as the child frame does

    CKVTPlayerView& View() { return *m_view; }
    CKVTPlayerDoc& Doc() { return *m_doc; }
    CCommandRouter& Router() { return m_router; }
    CManualTimerService& Timers() { return *m_timers; }
    QWidget& Window() { return m_window; }

    bool Enabled(int id) { return m_router.QueryState(id).IsEnabled(); }
    void Tick() { m_timers->TickAll(); }

    // The view's paint into a white image of logical coordinates.
    QImage Paint(QSize size = {400, 300})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter dc(&image);
        m_view->OnDraw(dc);
        return image;
    }
    // The grey value the first picture shows at its top-left pixel after a paint.
    int ShownFrame()
    {
        const QPoint pt = m_view->GetImage1Pos();
        return qRed(Paint().pixel(pt));
    }

private:
    std::unique_ptr<CKVTPlayerDoc> m_doc;
    QWidget m_window;
    CCommandRouter m_router;
    CManualTimerService* m_timers;
    CKVTPlayerView* m_view;
};
