// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label whose text never moves the layout: it is always as tall as its lines and as wide as the
// layout makes it, whatever it says. The text wraps at that width; what doesn't fit ends in "…",
// and the whole text is then in the tooltip.

#include <QLabel>

class CElidedLabel : public QLabel {
public:
    explicit CElidedLabel(int lines = 1, QWidget* parent = nullptr);

    void SetText(const QString& text);
    // The whole text, shown or not.
    const QString& GetText() const { return m_text; }
    bool IsCut() const { return m_cut; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Lay();

    int m_lines;
    QString m_text;
    bool m_cut = false;
};
