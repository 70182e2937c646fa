// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/RevealPanel.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "studio/ElidedLabel.h"
#include "studio/ImageView.h"
#include "studio/ShareAlignment.h"
#include "studio/TemporalView.h"
#include "studio/StudioSession.h"

namespace {
constexpr int kThumbnailSide = 96;
constexpr int kAlignRadius = 16;  // subpixels searched each way
constexpr int kTakingTurns = 2;   // the mode list's third entry
constexpr qint64 kPlayingFiguresMs = 1000;
constexpr int kFiguresLines = 3;  // the shares checked, the figures, the pattern test
}

CRevealPanel::CRevealPanel(CStudioSession& session, QWidget* parent)
    : QWidget(parent), m_session(session)
{
    m_list = new QListWidget;
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    m_list->setMovement(QListView::Static);
    // A column beside the reveal: the reveal is as tall as the panel, and a panel is wider than a
    // frame needs far more often than taller.
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(false);
    m_list->setGridSize(QSize(kThumbnailSide + 40, kThumbnailSide + 28));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFixedWidth(m_list->gridSize().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          2 * m_list->frameWidth());
    m_list->setToolTip(tr("Check the shares to put together; the one chosen can be dragged over the others"));
    m_mode = new QComboBox;
    m_mode->addItem(tr("Stacked (black wins)"));
    m_mode->addItem(tr("XOR"));
    m_mode->addItem(tr("Taking turns"));
    m_mode->setToolTip(tr("Stacked as transparencies on each other, XORed as a computer can, or one after "
                          "another on screen"));
    m_zoom = new QComboBox;
    m_zoom->addItem(tr("Fit"), 0);
    for (int zoom = 1; zoom <= 8; ++zoom)
        m_zoom->addItem(QStringLiteral("%1x").arg(zoom), zoom);
    m_zoom->setToolTip(tr("Each subpixel as a square of screen pixels, or the whole frame fitted"));
    m_resetOffset = new QPushButton(tr("In place"));
    m_resetOffset->setToolTip(tr("Put every share back exactly on the others"));
    m_align = new QPushButton(tr("Align"));
    m_align->setToolTip(tr("Move the chosen share to where it shows the most contrast with the others checked"));
    auto* controls = new QHBoxLayout;
    controls->addWidget(m_mode);
    controls->addWidget(m_zoom);
    controls->addWidget(m_resetOffset);
    controls->addWidget(m_align);
    controls->addStretch(1);

    m_view = new CImageView;
    m_view->setToolTip(tr("Drag (or move with the arrow keys) the chosen share over the others"));
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_view);
    scroll->setWidgetResizable(true);
    m_turns = new CTemporalView;
    m_views = new QStackedWidget;
    m_views->addWidget(scroll);
    m_views->addWidget(m_turns);
    m_turnsNote = new QLabel(CTemporalView::ViewerNote());
    m_turnsNote->setWordWrap(true);
    m_offset = new CElidedLabel;
    m_figures = new CElidedLabel(kFiguresLines);
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* shown = new QHBoxLayout;
    shown->addWidget(m_list);
    shown->addWidget(m_views, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(shown, 1);
    layout->addWidget(m_turnsNote);
    layout->addWidget(m_offset);
    layout->addWidget(m_figures);

    connect(m_list, &QListWidget::itemChanged, this, [this] { TakeChecks(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { ShowReveal(); });
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this](int mode) {
        if (mode != kTakingTurns)
            m_session.GetShares().SetMode(mode == 0 ? StackMode::stack : StackMode::exclusiveOr);
        m_views->setCurrentIndex(mode == kTakingTurns ? 1 : 0);
        ShowReveal();
    });
    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] {
        m_view->SetZoom(m_zoom->currentData().toInt());
    });
    connect(m_resetOffset, &QPushButton::clicked, this, [this] {
        CShareSet& shares = m_session.GetShares();
        for (int i = 0; i < shares.GetCount(); ++i)
            shares.SetOffset(i, {});
        ShowReveal();
    });
    connect(m_align, &QPushButton::clicked, this, [this] { AlignChosen(); });
    m_view->SetMoveHandler([this](QPoint cells) { MoveChosen(cells); });
    m_turnsNote->hide();
}

void CRevealPanel::ShowShares()
{
    m_bListing = true;
    m_list->clear();
    const CShareSet& shares = m_session.GetShares();
    for (int i = 0; i < shares.GetCount(); ++i) {
        auto* item = new QListWidgetItem(tr("Share %1").arg(i + 1), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(shares.IsChecked(i) ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(QString::fromStdString(shares.GetPath(i).string()));
    }
    if (shares.GetCount() > 0)
        m_list->setCurrentRow(shares.GetCount() - 1);
    m_bListing = false;
    Refresh();
}

void CRevealPanel::SetPlaying(bool playing)
{
    m_playing = playing;
    if (playing)
        m_sinceFigures.start();  // the figures on show are the frame's own
    else
        ShowReveal();
}

void CRevealPanel::Refresh()
{
    const CShareSet& shares = m_session.GetShares();
    for (int i = 0; i < shares.GetCount() && i < m_list->count(); ++i)
        m_list->item(i)->setIcon(QPixmap::fromImage(shares.GetFrame(i).scaled(
            kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    ShowReveal();
}

void CRevealPanel::TakeChecks()
{
    if (m_bListing)
        return;
    CShareSet& shares = m_session.GetShares();
    for (int i = 0; i < shares.GetCount() && i < m_list->count(); ++i)
        shares.SetChecked(i, m_list->item(i)->checkState() == Qt::Checked);
    ShowReveal();
}

void CRevealPanel::MoveChosen(QPoint cells)
{
    CShareSet& shares = m_session.GetShares();
    const int chosen = m_list->currentRow();
    if (chosen < 0 || chosen >= shares.GetCount())
        return;
    shares.SetOffset(chosen, shares.GetOffset(chosen) + cells);
    ShowReveal();
}

void CRevealPanel::AlignChosen()
{
    CShareSet& shares = m_session.GetShares();
    const int chosen = m_list->currentRow();
    std::vector<int> others = shares.GetChecked();
    std::erase(others, chosen);
    if (chosen < 0 || chosen >= shares.GetCount() || others.empty())
        return;
    shares.SetOffset(chosen, FindAlignment(shares.RevealOf(others), shares.GetFrame(chosen), kAlignRadius));
    ShowReveal();
}

QString CRevealPanel::FiguresText() const
{
    const CShareSet& shares = m_session.GetShares();
    QString text = tr("Shares checked: %1").arg(shares.GetChecked().size());
    const auto figures = m_session.MeasureChecked();
    if (!figures)
        return text + tr(": no figures, the shares are not of this source's secret");
    const auto number = [](const std::optional<double>& value, int decimals = 3) {
        return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
    };
    const ContrastFigures& c = figures->contrast;
    text += QStringLiteral("\n") + tr("h/m %1, l/m %2, alpha %3, beta %4, error rate %5, SSIM %6")
                                         .arg(number(c.blackDarkness), number(c.whiteDarkness), number(c.alpha),
                                              number(c.beta), number(c.errorRate), number(figures->ssim));
    if (!figures->leakPValue)
        return text + QStringLiteral("\n") + tr("Pattern test: the secret has one colour only");
    return text + QStringLiteral("\n") +
           (figures->leaks ? tr("The secret shows in the patterns (p = %1)")
                           : tr("Shows nothing of the secret by its patterns (p = %1)"))
               .arg(*figures->leakPValue, 0, 'g', 3);
}

bool CRevealPanel::IsTakingTurns() const
{
    return m_mode->currentIndex() == kTakingTurns;
}

void CRevealPanel::ShowReveal()
{
    QElapsedTimer timer;
    timer.start();
    const CShareSet& shares = m_session.GetShares();
    const QImage reveal = shares.Reveal();
    m_view->SetImage(reveal);
    m_turnsNote->setVisible(IsTakingTurns());
    if (IsTakingTurns()) {
        std::vector<QImage> frames;
        for (int i : shares.GetChecked())
            frames.push_back(shares.GetFrame(i));
        m_turns->SetFrames(std::move(frames));
    } else {
        m_turns->SetFrames({});
    }
    const int chosen = m_list->currentRow();
    if (chosen >= 0 && chosen < shares.GetCount()) {
        const QPoint offset = shares.GetOffset(chosen);
        m_offset->SetText(tr("%1 lies %2, %3 subpixels from its place")
                              .arg(m_list->item(chosen)->text())
                              .arg(offset.x())
                              .arg(offset.y()));
    } else {
        m_offset->SetText({});
    }
    if (reveal.isNull()) {
        m_figures->SetText(tr("Check shares to see them together"));
    } else if (!m_playing || !m_sinceFigures.isValid() || m_sinceFigures.elapsed() >= kPlayingFiguresMs) {
        m_figures->SetText(FiguresText());
        m_sinceFigures.start();
    }
    if (m_onReveal)
        m_onReveal(timer.elapsed());
}
