// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checked shares shown one after another, a share each frame the screen draws: each paint asks
// the window for the next frame (update() becomes QWindow::requestUpdate, paced by the platform's
// frame clock), so the shares take turns as fast as the screen refreshes.

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <vector>

class CTemporalView : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CTemporalView)

public:
    explicit CTemporalView(QWidget* parent = nullptr);

    void SetFrames(std::vector<QImage> frames);
    // Frames drawn since the frames were set.
    quint64 GetDrawn() const { return m_drawn; }
    // What a viewer sees, for the line beside the view.
    static QString ViewerNote();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QImage> m_frames;
    quint64 m_drawn = 0;
};
