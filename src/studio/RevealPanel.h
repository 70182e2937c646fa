// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The right of the window: a thumbnail of each share with a check box, and the checked ones put
// together for the current frame (stacked or XORed, at a whole zoom or fitted), or taking turns on
// screen. The share chosen in the list can be dragged over the others, its offset shown in
// subpixels, or aligned on them.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class CElidedLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class CImageView;
class CTemporalView;
class CStudioSession;

class CRevealPanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CRevealPanel)

public:
    CRevealPanel(CStudioSession& session, QWidget* parent = nullptr);

    // Lists the session's shares anew (after they were made or opened).
    void ShowShares();
    // The current frame's thumbnails and reveal.
    void Refresh();
    // While playing, the figures (the slow part of a frame) are measured about once a second: a
    // label changing faster can't be read. Stopping measures the frame on show.
    void SetPlaying(bool playing);
    // Called after the reveal changed, with the milliseconds it took.
    void SetRevealHandler(std::function<void(qint64)> handler) { m_onReveal = std::move(handler); }

    QListWidget* GetShareList() const { return m_list; }
    CImageView* GetRevealView() const { return m_view; }
    CTemporalView* GetTemporalView() const { return m_turns; }
    CElidedLabel* GetFiguresLabel() const { return m_figures; }

private:
    void TakeChecks();
    void MoveChosen(QPoint cells);
    void AlignChosen();
    void ShowReveal();
    bool IsTakingTurns() const;
    QString FiguresText() const;

    CStudioSession& m_session;
    std::function<void(qint64)> m_onReveal;
    bool m_bListing = false;

    QListWidget* m_list;
    QComboBox* m_mode;
    QComboBox* m_zoom;
    QPushButton* m_resetOffset;
    QPushButton* m_align;
    QStackedWidget* m_views;
    CImageView* m_view;
    CTemporalView* m_turns;
    QLabel* m_turnsNote;
    CElidedLabel* m_offset;
    CElidedLabel* m_figures;
    bool m_playing = false;
    QElapsedTimer m_sinceFigures;
};
