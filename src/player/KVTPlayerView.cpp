// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KVTPlayerView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "Pictures.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DialogUnits.h"
#include "framework/QtTimerService.h"
#include "player/KVTPlayerDoc.h"
#include "player/PlayerStrings.h"
#include "player/SetTimerDlg.h"

namespace {
// The area repainted after the first picture moved, before the pictures' own places are added.
constexpr QRect kMoveRepaint{QPoint(11, 64), QPoint(799, 599)};

// A picture's place with its outline, which runs one pixel left and above it and two right and
// below it.
QRect WithOutline(const QRect& rc)
{
    return rc.adjusted(-1, -1, 2, 2);
}

// The slider's keys are a trackbar's: no arrow keys (they move the first picture, even while it has
// the focus), and Page Up lowers the position where Qt's slider would raise it.
class CSliderKeys : public QObject {
public:
    explicit CSliderKeys(QSlider* slider) : QObject(slider), m_slider(*slider) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_PageUp:
            m_slider.triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        case Qt::Key_PageDown:
            m_slider.triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            return false;
        }
    }

private:
    QSlider& m_slider;
};
}  // namespace

// The scrolled form: logical coordinates are its own, and it hands paints and mouse messages to
// the view.
class CPlayerSurface : public QWidget {
public:
    explicit CPlayerSurface(CKVTPlayerView& view) : m_view(view)
    {
        setFixedSize(CKVTPlayerView::kSurfaceSize, CKVTPlayerView::kSurfaceSize);
        setAttribute(Qt::WA_OpaquePaintEvent);  // the pictures cover their places; only the rest is erased
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        m_view.m_rgnPending -= event->region();
        QPainter dc(this);
        QRegion rgnErase = event->region();
        for (const QRect& rc : DrawnPictures())
            rgnErase -= rc;
        for (const QRect& rc : rgnErase)
            dc.fillRect(rc, palette().window());
        m_view.OnDraw(dc);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_view.OnLButtonDown(Client(event));
        QWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!SeenByView(event))
            return;
        const bool bOnlyLeft = event->buttons() == Qt::LeftButton &&
                               !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
        m_view.OnMouseMove(Client(event), bOnlyLeft);
        QWidget::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!SeenByView(event))
            return;
        if (event->button() == Qt::LeftButton)
            m_view.OnLButtonUp(Client(event));
        else if (event->button() == Qt::RightButton)
            m_view.OnRButtonUp(Client(event));
        else
            QWidget::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_view.OnLButtonDblClk(Client(event));
        QWidget::mouseDoubleClickEvent(event);
    }

private:
    QPoint Client(const QMouseEvent* event) const { return event->position().toPoint() - m_view.GetScrollPos(); }
    // The mouse is not captured: while a button is held Qt still sends the moves and the release
    // here, but those outside the view's client area, or over the slider, belong to another window.
    // A drag that leaves the view goes on when the mouse comes back, and a release outside does
    // not end it.
    bool SeenByView(const QMouseEvent* event) const
    {
        return m_view.viewport()->rect().contains(Client(event)) &&
               !m_view.m_pSlider->geometry().contains(event->position().toPoint());
    }

    // The logical places that the paint fills with a frame.
    std::vector<QRect> DrawnPictures() const
    {
        std::vector<QRect> places;
        const CImageStream* pFirst = m_view.FirstStream();
        if (!pFirst || !pFirst->GetBitmapInfo() || !pFirst->HasFrames())
            return places;
        places.push_back(m_view.CalcLogicalRect(m_view.m_ptImage1));
        const CImageStream* pSecond = m_view.SecondStream();
        if (m_view.IsTwoStream() && pSecond && pSecond->GetBitmapInfo() && pSecond->HasFrames())
            places.push_back(m_view.SecondRect(m_view.m_ptImage2, false));
        return places;
    }

    CKVTPlayerView& m_view;
};

CKVTPlayerView::CKVTPlayerView(CKVTPlayerDoc* pDoc, CCommandRouter* pRouter, QWidget* parent,
                               std::unique_ptr<CTimerService> pTimers)
    : QScrollArea(parent),
      m_pDocument(pDoc),
      m_pRouter(pRouter),
      m_pTimers(pTimers ? std::move(pTimers) : std::make_unique<CQtTimerService>()),
      m_pSurface(new CPlayerSurface(*this))
{
    QFont font(player_strings::kViewFont);
    font.setPointSize(9);
    m_pSurface->setFont(font);
    BuildDelayControls();
    setWidget(m_pSurface);
    setWidgetResizable(false);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &CKVTPlayerView::RecalcRects);
    RegisterCommands();
}

CKVTPlayerView::~CKVTPlayerView()
{
    KillTimer();
}

void CKVTPlayerView::BuildDelayControls()
{
    using namespace player_strings;
    const CDialogUnits du(m_pSurface->font());
    m_pSlider = new QSlider(Qt::Horizontal, m_pSurface);
    m_pSlider->setTickPosition(QSlider::TicksBothSides);
    m_pSlider->setFocusPolicy(Qt::StrongFocus);
    m_pSlider->installEventFilter(new CSliderKeys(m_pSlider));
    // The form's only tab stop: the view hands it the focus, so its keys work as soon as it opens.
    setFocusProxy(m_pSlider);
    du.Place(m_pSlider, 7, 7, 198, 29);
    connect(m_pSlider, &QSlider::valueChanged, this, &CKVTPlayerView::OnSliderMoved);

    auto* caption = new QLabel(kDelayTimeLabel, m_pSurface);
    caption->setAlignment(Qt::AlignCenter);
    du.Place(caption, 211, 7, 42, 30);
    m_pDelayLabel = new QLabel(QStringLiteral("1"), m_pSurface);
    m_pDelayLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    du.Place(m_pDelayLabel, 251, 7, 21, 30);
    auto* unit = new QLabel(kPerThousandSeconds, m_pSurface);
    unit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    du.Place(unit, 274, 7, 39, 30);
}

void CKVTPlayerView::RegisterCommands()
{
    const auto update = [this](void (CKVTPlayerView::*query)(CCmdUI&) const) {
        return [this, query](CCmdUI& ui) { (this->*query)(ui); };
    };
    OnCommandId(cmd::ID_PLAY, [this] { OnPlay(); }, update(&CKVTPlayerView::OnUpdatePlay));
    OnCommandId(cmd::ID_NEXT, [this] { OnNext(); }, update(&CKVTPlayerView::OnUpdatePlay));
    OnCommandId(cmd::ID_PREVIOUS, [this] { OnPrevious(); }, update(&CKVTPlayerView::OnUpdatePlay));
    OnCommandId(cmd::ID_STOP, [this] { OnStop(); }, update(&CKVTPlayerView::OnUpdateStop));
    OnCommandId(cmd::ID_PAUSE, [this] { OnPause(); }, update(&CKVTPlayerView::OnUpdatePause));
    OnCommandId(cmd::ID_DELAY_SETTING, [this] { OnDelaySetting(); });
    OnCommandId(cmd::ID_IMAGE_UP, [this] { OnImageUp(); });
    OnCommandId(cmd::ID_IMAGE_DOWN, [this] { OnImageDown(); });
    OnCommandId(cmd::ID_IMAGE_LEFT, [this] { OnImageLeft(); });
    OnCommandId(cmd::ID_IMAGE_RIGHT, [this] { OnImageRight(); });
    OnCommandId(cmd::ID_DELAY_UP_KEYPAD, [this] { OnDelayUp(); });
    OnCommandId(cmd::ID_DELAY_UP, [this] { OnDelayUp(); });
    OnCommandId(cmd::ID_DELAY_DOWN_KEYPAD, [this] { OnDelayDown(); });
    OnCommandId(cmd::ID_DELAY_DOWN, [this] { OnDelayDown(); });
}

const CImageStream* CKVTPlayerView::FirstStream() const
{
    return m_pDocument ? m_pDocument->m_pStream.get() : nullptr;
}

const CImageStream* CKVTPlayerView::SecondStream() const
{
    return m_pDocument ? m_pDocument->m_pSecondStream.get() : nullptr;
}

QWidget* CKVTPlayerView::GetSurface() const
{
    return m_pSurface;
}

QPoint CKVTPlayerView::GetScrollPos() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CKVTPlayerView::OnInitialUpdate()
{
    RequestRepaintAll();
    if (const CImageStream* pFirst = FirstStream()) {
        m_nImageWidth = pFirst->GetWidth();
        m_nImageHeight = pFirst->GetHeight();
        m_nDocMode = m_pDocument->m_nMode;
    } else {
        m_nDocMode = 0;
    }
    {
        const QSignalBlocker quiet(m_pSlider);
        m_pSlider->setSingleStep(1);
        m_pSlider->setPageStep(10);
        m_pSlider->setRange(kSliderMin, kSliderMax);
        m_pSlider->setTickInterval(10);
        m_nDelay = kSliderMax;
        m_pSlider->setValue(m_nDelay);
    }
    ShowDelay();
    m_ptImage2.setX(m_nImageWidth + 62);
    RecalcRects();
}

// --- Delay

void CKVTPlayerView::ShowDelay()
{
    m_pDelayLabel->setText(QString::asprintf("%d", m_nDelay));
}

void CKVTPlayerView::SetSliderPos(int nPos)
{
    const QSignalBlocker quiet(m_pSlider);  // only the user's moves count as slider messages
    m_pSlider->setValue(nPos);
}

void CKVTPlayerView::OnSliderMoved(int nPos)
{
    m_nDelay = nPos;
    ShowDelay();
    RestartTimer();
}

void CKVTPlayerView::OnDelayUp()
{
    m_nDelay = std::min(m_pSlider->value() + 1, kSliderMax);
    SetSliderPos(m_nDelay);
    ShowDelay();
    RestartTimer();
}

void CKVTPlayerView::OnDelayDown()
{
    m_nDelay = std::max(m_pSlider->value() - 1, kSliderMin);
    SetSliderPos(m_nDelay);
    ShowDelay();
    RestartTimer();
}

void CKVTPlayerView::OnDelaySetting()
{
    CSetTimerDlg dlg(this);
    dlg.m_uDelay = static_cast<UINT>(m_nDelay);
    if (dlg.exec() != QDialog::Accepted)
        return;
    // The label keeps the previous value until the slider or a key changes the delay.
    m_nDelay = static_cast<int>(dlg.m_uDelay);
    SetSliderPos(m_nDelay);
    RestartTimer();
}

// --- Moving the first picture

void CKVTPlayerView::MoveImage1(QPoint ptNew)
{
    const QRect rcOld = m_rcImage1;
    m_ptImage1 = {std::max(ptNew.x(), kImageOrigin.x()), std::max(ptNew.y(), kImageOrigin.y())};
    RecalcRects();
    // The fixed area covers small pictures near the origin; the pictures' own places make sure
    // that a large or far picture leaves nothing stale behind.
    const QPoint ptScroll = GetScrollPos();
    QRect rcFixed = kMoveRepaint;
    rcFixed.setLeft(std::max(0, kMoveRepaint.left() - ptScroll.x()));
    rcFixed.setTop(std::max(0, kMoveRepaint.top() - ptScroll.y()));
    m_rcRepaint = rcFixed | WithOutline(rcOld) | WithOutline(m_rcImage1);
    if (IsTwoStream())
        m_rcRepaint |= WithOutline(m_rcImage2);
    RequestRepaint(m_rcRepaint);
}

void CKVTPlayerView::OnImageUp()
{
    MoveImage1(m_ptImage1 - QPoint(0, 1));
}

void CKVTPlayerView::OnImageDown()
{
    MoveImage1(m_ptImage1 + QPoint(0, 1));
}

void CKVTPlayerView::OnImageLeft()
{
    MoveImage1(m_ptImage1 - QPoint(1, 0));
}

void CKVTPlayerView::OnImageRight()
{
    MoveImage1(m_ptImage1 + QPoint(1, 0));
}

// --- Repaints

void CKVTPlayerView::RequestRepaint(const QRect& rcClient)
{
    const QRect rcLogical = rcClient.translated(GetScrollPos());
    m_rgnPending += rcLogical;
    m_pSurface->update(rcLogical);
}

void CKVTPlayerView::RequestRepaintAll()
{
    m_rgnPending += m_pSurface->rect();
    m_pSurface->update();
}

void CKVTPlayerView::PaintPending()
{
    if (!m_rgnPending.isEmpty())
        m_pSurface->repaint(m_rgnPending);
}

// --- Mouse

void CKVTPlayerView::ShowHandCursorOver(QPoint point)
{
    if (m_rcImage1.contains(point))
        m_pSurface->setCursor(pictures::HandCursor());
    else
        m_pSurface->unsetCursor();
}

void CKVTPlayerView::OnLButtonDown(QPoint point)
{
    if (!m_rcImage1.contains(point))
        return;
    ShowHandCursorOver(point);
    m_ptGrab = point - m_ptImage1;
    m_bDragging = true;
}

void CKVTPlayerView::OnMouseMove(QPoint point, bool bOnlyLeftButton)
{
    ShowHandCursorOver(point);
    if (!m_bDragging)
        return;
    if (!bOnlyLeftButton)
        m_bDragging = false;  // Shift, Ctrl, another button or a release outside ends the drag
    MoveImage1(point - m_ptGrab);
}

void CKVTPlayerView::OnLButtonUp(QPoint point)
{
    ShowHandCursorOver(point);
    if (!m_bDragging)
        return;
    m_bDragging = false;
    const QPoint ptNew = point - m_ptGrab;
    if (ptNew != m_ptImage1)
        MoveImage1(ptNew);
}

void CKVTPlayerView::OnLButtonDblClk(QPoint point)
{
    ShowHandCursorOver(point);
}

void CKVTPlayerView::OnRButtonUp(QPoint point)
{
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu.release()->popup(m_pSurface->mapToGlobal(point + GetScrollPos()));
}

std::unique_ptr<QMenu> CKVTPlayerView::CreateContextMenu()
{
    using namespace player_strings;
    auto menu = std::make_unique<QMenu>(kPlaybackPopup, this);
    const bool bHasStream = FirstStream() != nullptr;
    const struct {
        int nID;
        const char* text;
        bool bEnabled;
    } items[] = {
        {cmd::ID_PLAY, kPlayItem, bHasStream && !m_bPlaying},
        {cmd::ID_STOP, kStopItem, bHasStream},
        // Pause stays enabled here while idle; the router refuses it when chosen.
        {cmd::ID_PAUSE, kPauseItem, bHasStream},
        {cmd::ID_NEXT, kNextItem, bHasStream && !m_bPlaying},
        {cmd::ID_PREVIOUS, kPreviousItem, bHasStream && !m_bPlaying},
    };
    for (const auto& item : items) {
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setEnabled(item.bEnabled);
        action->setData(item.nID);
        connect(action, &QAction::triggered, this, [this, nID = item.nID] { m_pRouter->Execute(nID); });
    }
    return menu;
}
