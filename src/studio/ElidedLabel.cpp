// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ElidedLabel.h"

#include <QTextLayout>

CElidedLabel::CElidedLabel(int lines, QWidget* parent) : QLabel(parent), m_lines(lines)
{
    // Ignored: neither the text's width nor its minimum counts in the layout.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QMargins margins = contentsMargins();
    setFixedHeight(m_lines * fontMetrics().lineSpacing() + margins.top() + margins.bottom() + 2 * margin());
}

void CElidedLabel::SetText(const QString& text)
{
    m_text = text;
    Lay();
}

void CElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Lay();
}

void CElidedLabel::Lay()
{
    const int width = std::max(1, contentsRect().width());
    const QFontMetrics metrics = fontMetrics();
    QStringList shown;
    m_cut = false;
    const QStringList paragraphs = m_text.split(QLatin1Char('\n'));
    for (qsizetype p = 0; p < paragraphs.size() && !m_cut; ++p) {
        QTextLayout layout(paragraphs[p], font());
        // A file's name is one long word: cut anywhere rather than run past the edge.
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            const QString rest = paragraphs[p].mid(line.textStart());
            if (shown.size() + 1 == m_lines) {
                // The last line takes what is left, cut if it is too long.
                const bool last = p + 1 == paragraphs.size();
                const QString elided = metrics.elidedText(rest, Qt::ElideRight, width);
                m_cut = elided != rest || !last;
                shown << (m_cut && elided == rest ? metrics.elidedText(rest + QStringLiteral("…"), Qt::ElideRight, width) : elided);
                break;
            }
            shown << rest.left(line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    QLabel::setText(shown.join(QLatin1Char('\n')));
    setToolTip(m_cut ? m_text : QString());
}
