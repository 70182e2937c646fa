// SPDX-License-Identifier: GPL-3.0-or-later
// The playback engine of the view: the five commands, their states, the tick and its gate, and
// the timer restarts that follow delay changes. Ticks run on the window's thread (the timers are
// QTimers), so a step never interleaves with a paint or a command.

#include "io/Message.h"
#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"
#include "player/PlayerStrings.h"

int g_bFramePainted = 1;

void CKVTPlayerView::KillTimer()
{
    m_pTimers->KillEvent(m_nTimerID);
    m_nTimerID = 0;
}

void CKVTPlayerView::OnPlay()
{
    if (m_bTimerActive)
        return;
    m_nTimerID = m_pTimers->SetEvent(m_nDelay, &CKVTPlayerView::PlayTimerProc, this);
    if (m_nTimerID == 0) {
        ShowMessage(player_strings::kNoTimer);
        return;
    }
    m_bTimerActive = true;
    m_bPlaying = true;
}

void CKVTPlayerView::PlayTimerProc(CTimerService& timers, UINT nTimerID, void* pUser)
{
    if (!g_bFramePainted)
        return;
    g_bFramePainted = 0;
    if (pUser) {
        static_cast<CKVTPlayerView*>(pUser)->OnTimerStep();
        return;
    }
    timers.KillEvent(nTimerID);
    ShowMessage(player_strings::kTimerError);
}

void CKVTPlayerView::OnTimerStep()
{
    StepForward(false);
}

void CKVTPlayerView::OnNext()
{
    StepForward(true);
}

void CKVTPlayerView::StepForward(bool bPaintAtOnce)
{
    m_bForward = true;
    const CImageStream* pFirst = FirstStream();
    if (!pFirst)
        return;
    // Next paints what the previous Next stepped to before stepping again, so a held key shows
    // every frame it passes even when it repeats faster than the window repaints.
    const bool bPaintFirst = bPaintAtOnce && !IsTwoStream();
    if (bPaintFirst)
        PaintPending();
    if (!m_posFrame1)
        m_posFrame1 = pFirst->GetHeadPosition();
    if (m_posFrame1)
        pFirst->GetNextFrame(m_posFrame1);
    if (bPaintFirst)
        PaintPending();
    RequestRepaint(m_rcImage1);
    if (!IsTwoStream())
        return;
    if (const CImageStream* pSecond = SecondStream()) {
        if (!m_posFrame2)
            m_posFrame2 = pSecond->GetHeadPosition();
        if (m_posFrame2)
            pSecond->GetNextFrame(m_posFrame2);
        m_rcImage2 = SecondRect(m_ptImage2, true);
        RequestRepaint(m_rcImage2);
    }
}

void CKVTPlayerView::OnPrevious()
{
    m_bForward = false;
    const CImageStream* pFirst = FirstStream();
    if (!pFirst)
        return;
    if (!m_posFrame1)
        m_posFrame1 = pFirst->GetTailPosition();
    if (m_posFrame1)
        pFirst->GetPrevFrame(m_posFrame1);
    RequestRepaint(m_rcImage1);
    if (!IsTwoStream())
        return;
    if (const CImageStream* pSecond = SecondStream()) {
        if (!m_posFrame2)
            m_posFrame2 = pSecond->GetTailPosition();
        if (m_posFrame2)
            pSecond->GetPrevFrame(m_posFrame2);
        RequestRepaint(m_rcImage2);
    }
}

void CKVTPlayerView::OnStop()
{
    m_bPlaying = false;
    m_bTimerActive = false;
    KillTimer();
    if (const CImageStream* pFirst = FirstStream())
        m_posFrame1 = pFirst->GetHeadPosition();
    if (const CImageStream* pSecond = SecondStream(); pSecond && IsTwoStream())
        m_posFrame2 = pSecond->GetHeadPosition();
    RequestRepaintAll();
}

void CKVTPlayerView::OnPause()
{
    m_bPlaying = false;
    m_bTimerActive = false;
    KillTimer();
}

bool CKVTPlayerView::RestartTimer()
{
    if (!m_bTimerActive)
        return true;
    m_bTimerActive = false;
    KillTimer();
    m_nTimerID = m_pTimers->SetEvent(m_nDelay, &CKVTPlayerView::PlayTimerProc, this);
    if (m_nTimerID == 0) {
        ShowMessage(player_strings::kNoTimer);
        return false;
    }
    m_bTimerActive = true;
    return true;
}

void CKVTPlayerView::OnUpdatePlay(CCmdUI& ui) const
{
    ui.Enable(FirstStream() && !m_bPlaying);
}

void CKVTPlayerView::OnUpdateStop(CCmdUI& ui) const
{
    ui.Enable(FirstStream() != nullptr);
}

void CKVTPlayerView::OnUpdatePause(CCmdUI& ui) const
{
    ui.Enable(m_bPlaying);
}
