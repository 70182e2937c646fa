// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog layouts are given in dialog units, so that a dialog scales with its font: horizontally a
// quarter of the font's average character width, vertically an eighth of its height.

#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QWidget>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        // The average width of the Latin letters, as the classic dialog manager measures it.
        m_nBaseX = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
        m_nBaseY = metrics.height();
    }

    int X(int units) const { return static_cast<int>(units * m_nBaseX / 4.0 + 0.5); }
    int Y(int units) const { return static_cast<int>(units * m_nBaseY / 8.0 + 0.5); }
    QRect Rect(int x, int y, int width, int height) const { return {X(x), Y(y), X(width), Y(height)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }

    // Places `widget` at the dialog-unit rectangle within its parent.
    void Place(QWidget* widget, int x, int y, int width, int height) const
    {
        widget->setGeometry(Rect(x, y, width, height));
    }

private:
    double m_nBaseX;
    int m_nBaseY;
};

// A frame of a caption with the system menu and a close box, for a window of `type` (a dialog, a
// tool window). Some window managers (openbox) offer to minimise any tool window whatever it asks
// for, but not a toolbar, so a tool window says it is one first. A dialog stays a dialog: desktops
// neither focus nor raise a toolbar when it appears, and a modal dialog must have the keyboard.
inline void SetCaptionFrame(QWidget* window, Qt::WindowFlags type)
{
    window->setWindowFlags(type | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if ((type & Qt::WindowType_Mask) == Qt::Tool) {
        window->winId();  // the window's type goes with its native window
        window->setAttribute(Qt::WA_X11NetWmWindowTypeToolBar);
    }
}

// Gives a dialog what every fixed layout here shares: its caption, a caption bar with the system
// menu, the 10-point font and a fixed size of width x height dialog units. Returns the units of
// that font for placing the controls.
inline CDialogUnits SetUpFixedDialog(QDialog* dialog, const QString& caption, int width, int height)
{
    dialog->setWindowTitle(caption);
    SetCaptionFrame(dialog, Qt::Dialog);
    QFont font = dialog->font();
    font.setPointSize(10);
    dialog->setFont(font);
    const CDialogUnits du(font);
    dialog->setFixedSize(du.Size(width, height));
    return du;
}
