// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CKVTPlayerView: the view of every document window. A scrolling 2000 x 2000 surface carries the
// delay slider and its labels at the top and the document's pictures below; the view plays the
// frames on a periodic timer (Play, Stop, Pause, Next, Previous), sets the delay from the slider,
// the delay keys and the SetTimer dialog, and lets the user move the first picture, by dragging
// it or with the arrow keys, over the second of a stacked pair, where the two show their AND.
//
// The document template creates one view per child frame:
//     auto* view = new CKVTPlayerView(&doc, &router, frame);
//     view->OnInitialUpdate();   // once the document's streams and mode are final
// The document and the router must outlive the view. Commands reach the view through the router,
// whose chain the shell gives (the view is a command target); the context menu issues its
// commands through the router too, so a disabled command never runs. Tests pass a timer service
// of their own; otherwise the view's timers are precise QTimers.

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QScrollArea>
#include <memory>

#include "framework/CmdTarget.h"
#include "framework/TimerService.h"
#include "stream/ImageStream.h"

class CCommandRouter;
class CKVTPlayerDoc;
class CPlayerSurface;
class QLabel;
class QMenu;
class QPainter;
class QSlider;

// One flag for all views: set by every paint that draws a picture, cleared by every tick let
// through. A tick that finds it cleared is dropped, so no view steps twice without a paint.
extern int g_bFramePainted;

class CKVTPlayerView : public QScrollArea, public CCmdTarget {
public:
    // Logical size of the scrolled surface.
    static constexpr int kSurfaceSize = 2000;
    // The first picture never goes left of or above this point, where the second one stands.
    static constexpr QPoint kImageOrigin{12, 65};
    // The slider's range; the SetTimer dialog goes beyond it.
    static constexpr int kSliderMin = 1;
    static constexpr int kSliderMax = 100;

    CKVTPlayerView(CKVTPlayerDoc* pDoc, CCommandRouter* pRouter, QWidget* parent = nullptr,
                   std::unique_ptr<CTimerService> pTimers = nullptr);
    // Cancels the playback timer before anything else goes.
    ~CKVTPlayerView() override;

    CKVTPlayerDoc* GetDocument() const { return m_pDocument; }

    // Reads the document's mode and the first stream's size, sets the delay to 100 and lays out
    // the pictures. Run once, after the document's streams are complete.
    void OnInitialUpdate();
    // Paints the pictures in logical coordinates (the surface's own).
    void OnDraw(QPainter& dc);

    // --- Playback
    void OnPlay();
    void OnStop();
    void OnPause();
    void OnNext();
    void OnPrevious();
    void OnUpdatePlay(CCmdUI& ui) const;
    void OnUpdateStop(CCmdUI& ui) const;
    void OnUpdatePause(CCmdUI& ui) const;
    // The forward step of a tick.
    void OnTimerStep();
    static void PlayTimerProc(CTimerService& timers, UINT nTimerID, void* pUser);
    // Puts a changed m_nDelay into effect on a running timer. False after "No Timer".
    bool RestartTimer();

    // --- Delay and picture moves
    void OnDelayUp();
    void OnDelayDown();
    void OnDelaySetting();
    void OnImageUp();
    void OnImageDown();
    void OnImageLeft();
    void OnImageRight();

    // The context menu's popup, with its items greyed as the view's state says; the chosen command
    // goes through the router. Owned by the caller.
    std::unique_ptr<QMenu> CreateContextMenu();

    // Rectangles of a picture at logical (x, y): moved by the scroll position, or not.
    QRect CalcClientRect(QPoint pt) const;
    QRect CalcLogicalRect(QPoint pt) const;

    // --- State, for the windows around the view and for tests
    int GetDelay() const { return m_nDelay; }
    bool IsPlaying() const { return m_bPlaying; }
    bool IsTimerActive() const { return m_bTimerActive; }
    bool IsDragging() const { return m_bDragging; }
    QPoint GetImage1Pos() const { return m_ptImage1; }
    QPoint GetImage2Pos() const { return m_ptImage2; }
    QRect GetImage1Rect() const { return m_rcImage1; }
    QSlider* GetSlider() const { return m_pSlider; }
    QLabel* GetDelayLabel() const { return m_pDelayLabel; }
    QWidget* GetSurface() const;
    QPoint GetScrollPos() const;

private:
    friend class CPlayerSurface;
    void RegisterCommands();
    void BuildDelayControls();
    const CImageStream* FirstStream() const;
    const CImageStream* SecondStream() const;
    bool IsTwoStream() const { return m_nDocMode > 2; }
    void KillTimer();
    void StepForward(bool bPaintAtOnce);
    // A null position becomes the first frame after a forward step, the last after a backward one.
    void ResolvePosition(const CImageStream& stream, POSITION& pos) const;
    void RecalcRects();
    QRect SecondRect(QPoint pt, bool bClient) const;
    void DrawPair(QPainter& dc);
    // Delay changes from the slider, the keys and the dialog.
    void OnSliderMoved(int nPos);
    void SetSliderPos(int nPos);
    void ShowDelay();
    void MoveImage1(QPoint ptNew);
    // Repaint requests in client coordinates; the pending region is painted at once by
    // PaintPending().
    void RequestRepaint(const QRect& rcClient);
    void RequestRepaintAll();
    void PaintPending();
    // Mouse messages of the surface, in client coordinates.
    void OnLButtonDown(QPoint point);
    void OnMouseMove(QPoint point, bool bOnlyLeftButton);
    void OnLButtonUp(QPoint point);
    void OnLButtonDblClk(QPoint point);
    void OnRButtonUp(QPoint point);
    void ShowHandCursorOver(QPoint point);

    CKVTPlayerDoc* m_pDocument;
    CCommandRouter* m_pRouter;
    std::unique_ptr<CTimerService> m_pTimers;
    CPlayerSurface* m_pSurface;  // the scroll area's widget
    QSlider* m_pSlider = nullptr;
    QLabel* m_pDelayLabel = nullptr;

    int m_nDelay = 1;
    POSITION m_posFrame1;
    POSITION m_posFrame2;
    bool m_bPlaying = false;
    bool m_bTimerActive = false;
    bool m_bDragging = false;
    bool m_bForward = true;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    int m_nDocMode = 0;
    QRect m_rcImage1;
    QPoint m_ptImage1 = kImageOrigin;
    QPoint m_ptGrab;
    QPoint m_ptImage2{300, 65};
    QRect m_rcImage2;
    QRect m_rcRepaint;
    UINT m_nTimerID = 0;

    QRegion m_rgnPending;  // logical; requested and not painted yet
};
