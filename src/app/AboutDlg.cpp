// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDlg.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <utility>

#include "Pictures.h"
#include "framework/DialogUnits.h"

namespace {
// Texts of template 100. The makers are the program's own fictitious laboratory.
constexpr const char* kCaption = "關於 KVTPlayer";
constexpr const char* kOK = "確定";
constexpr const char* kVersion = "KVTPlayer Version 1.1";
constexpr const char* kYear = "Copyright (C) 2026";
constexpr const char* kDepartment = "星河大學 資訊工程學系";
constexpr const char* kLaboratory = "影像密碼實驗室";
constexpr const char* kAdvisor = "指導教授：王大明 教授";
constexpr const char* kAuthor = "作者：李小華";
constexpr const char* kTelephone = "電話：(00) 1234-5678 分機 2101、2102";
constexpr const char* kAddress = "地址：00000 星河市學府路 1 號";

constexpr const char* kWebHost = "vclab.example.org";
constexpr const char* kAdvisorAddress = "dmwang@vclab.example.org";
constexpr const char* kAuthorAddress = "xhli@vclab.example.org";

const QColor kLinkColour(0, 0, 255);

CAboutDlg::OpenUrlHook& OpenUrl()
{
    static CAboutDlg::OpenUrlHook hook;
    return hook;
}

QLabel* MakeStatic(QWidget* parent, const QString& text, const CDialogUnits& du, QRect rect)
{
    auto* label = new QLabel(text, parent);
    // Plain statics: mouse messages over them go to the dialog, which hit-tests the links itself.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setGeometry(du.Rect(rect.x(), rect.y(), rect.width(), rect.height()));
    return label;
}
}  // namespace

CAboutDlg::OpenUrlHook CAboutDlg::SetOpenUrlHook(OpenUrlHook hook)
{
    return std::exchange(OpenUrl(), std::move(hook));
}

QUrl CAboutDlg::LinkTarget(int nLink)
{
    switch (nLink) {
    case kWebLink:
        return QUrl(QStringLiteral("http://%1/").arg(QLatin1StringView(kWebHost)));
    case kAdvisorMail:
        return QUrl(QStringLiteral("mailto:%1").arg(QLatin1StringView(kAdvisorAddress)));
    case kAuthorMail:
        return QUrl(QStringLiteral("mailto:%1").arg(QLatin1StringView(kAuthorAddress)));
    default:
        return {};
    }
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_handCursor(pictures::HandCursor())
{
    const CDialogUnits du = SetUpFixedDialog(this, QString::fromUtf8(kCaption), 250, 163);
    setMouseTracking(true);

    m_pIcon = MakeStatic(this, {}, du, {11, 10, 21, 20});
    m_pIcon->setPixmap(QPixmap(QString::fromLatin1(pictures::kAppIcon))
                           .scaled(m_pIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* btnOK = new QPushButton(QString::fromUtf8(kOK), this);
    btnOK->setDefault(true);
    du.Place(btnOK, 193, 7, 50, 14);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    m_btnOK = btnOK;

    MakeStatic(this, QString::fromLatin1(kVersion), du, {40, 10, 140, 9});
    MakeStatic(this, QString::fromLatin1(kYear), du, {40, 22, 140, 9});
    MakeStatic(this, QString::fromUtf8(kDepartment), du, {40, 40, 150, 9});
    MakeStatic(this, QString::fromUtf8(kLaboratory), du, {40, 52, 150, 9});
    m_links[0] = MakeStatic(this, QString::fromUtf8("網址：%1").arg(QLatin1StringView(kWebHost)), du, {40, 64, 120, 9});
    MakeStatic(this, QString::fromUtf8(kAdvisor), du, {40, 82, 150, 9});
    m_links[1] = MakeStatic(this, QString::fromUtf8("E-mail：%1").arg(QLatin1StringView(kAdvisorAddress)), du, {40, 94, 140, 9});
    MakeStatic(this, QString::fromUtf8(kAuthor), du, {40, 112, 150, 9});
    m_links[2] = MakeStatic(this, QString::fromUtf8("E-mail： %1").arg(QLatin1StringView(kAuthorAddress)), du, {40, 124, 140, 9});
    MakeStatic(this, QString::fromUtf8(kTelephone), du, {40, 142, 200, 9});
    MakeStatic(this, QString::fromUtf8(kAddress), du, {40, 154, 200, 9});
}

QWidget* CAboutDlg::Control(int id) const
{
    switch (id) {
    case 1:
        return m_btnOK;
    case IDC_WEB_LINK:
        return m_links[0];
    case IDC_ADVISOR_MAIL:
        return m_links[1];
    case IDC_AUTHOR_MAIL:
        return m_links[2];
    default:
        return nullptr;
    }
}

int CAboutDlg::LinkAt(QPoint point) const
{
    for (int i = 0; i < static_cast<int>(m_links.size()); ++i) {
        if (m_links[i]->geometry().contains(point))
            return i + 1;
    }
    return kNoLink;
}

void CAboutDlg::UpdateLinkColours()
{
    for (int i = 0; i < static_cast<int>(m_links.size()); ++i) {
        QPalette palette = this->palette();
        if (m_bHover && m_nHoverLink == i + 1)
            palette.setColor(QPalette::WindowText, kLinkColour);
        m_links[i]->setPalette(palette);
    }
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event)
{
    const int nLink = LinkAt(event->position().toPoint());
    if (nLink != kNoLink) {
        SetHandCursor();
        // The first link entered keeps the highlight until the mouse is over no link at all.
        if (m_nHoverLink == kNoLink) {
            m_bHover = 1;
            m_nHoverLink = nLink;
            UpdateLinkColours();
        }
    } else {
        unsetCursor();
        if (m_bHover) {
            m_bHover = 0;
            m_nHoverLink = kNoLink;
            UpdateLinkColours();
        }
    }
    QDialog::mouseMoveEvent(event);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event)
{
    const int nLink = LinkAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && nLink != kNoLink) {
        SetHandCursor();
        m_bHover = 1;
        m_nHoverLink = nLink;
        // Repainted at once, so the colours never disagree with the state.
        UpdateLinkColours();
        const QUrl target = LinkTarget(nLink);
        if (OpenUrl())
            OpenUrl()(target);
        else
            QDesktopServices::openUrl(target);  // no browser or mail program: nothing to report
    }
    QDialog::mousePressEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && LinkAt(event->position().toPoint()) != kNoLink)
        SetHandCursor();
    QDialog::mouseReleaseEvent(event);
}

void CAboutDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click arrives here instead of as a press. Not the default,
    // which would take it for a press and open the link again.
    if (event->button() == Qt::LeftButton && m_links[1]->geometry().contains(event->position().toPoint()))
        SetHandCursor();
    event->accept();
}
