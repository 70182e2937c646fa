// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: name, version, year and the makers' lines; three of the lines are links that turn
// blue under the mouse, show the hand cursor and open their web or mail target when clicked.
//
// Wiring, by the application's command 57664: CAboutDlg aboutDlg(pMainFrame); aboutDlg.DoModal();

#include <QCursor>
#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>

class QLabel;

class CAboutDlg : public QDialog {
public:
    enum { IDD = 100 };
    enum { IDC_WEB_LINK = 1025, IDC_ADVISOR_MAIL = 1023, IDC_AUTHOR_MAIL = 1024 };
    enum { kNoLink = 0, kWebLink = 1, kAdvisorMail = 2, kAuthorMail = 3 };

    // Hands a target to the desktop; tests install a recorder. Returns the previous hook; an empty
    // hook restores QDesktopServices::openUrl.
    using OpenUrlHook = std::function<void(const QUrl& url)>;
    static OpenUrlHook SetOpenUrlHook(OpenUrlHook hook);

    explicit CAboutDlg(QWidget* parent = nullptr);

    int DoModal() { return exec(); }

    // The "http://" or "mailto:" target of link 1 to 3.
    static QUrl LinkTarget(int nLink);
    // Controls, reachable by their template ids for tests (the OK button is 1).
    QWidget* Control(int id) const;

    int m_bHover = 0;      // a link is shown highlighted
    int m_nHoverLink = 0;  // which one: kNoLink, kWebLink, kAdvisorMail or kAuthorMail

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int LinkAt(QPoint point) const;  // kNoLink when the point is on none
    void SetHandCursor() { setCursor(m_handCursor); }
    void UpdateLinkColours();

    QCursor m_handCursor;
    QWidget* m_btnOK = nullptr;
    QLabel* m_pIcon = nullptr;
    std::array<QLabel*, 3> m_links{};  // in hit-test order: controls 1025, 1023, 1024
};
