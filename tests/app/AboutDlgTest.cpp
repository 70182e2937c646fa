// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: its texts, the link highlight as the mouse moves, and the targets a click hands to
// the desktop (recorded here instead of opened).

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/AboutDlg.h"

// Readable failures for the recorded targets.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }
QT_END_NAMESPACE

namespace {
class AboutDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = CAboutDlg::SetOpenUrlHook([this](const QUrl& url) { m_opened.push_back(url.toString()); });
        m_dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
    }
    void TearDown() override { CAboutDlg::SetOpenUrlHook(std::move(m_previous)); }

    QPoint Centre(int id) const { return m_dlg.Control(id)->geometry().center(); }
    QPoint Nowhere() const { return {m_dlg.width() - 5, m_dlg.height() - 5}; }
    // Straight to the dialog, as the platform would send it: a move through the window is dropped
    // when the pointer is already there from an earlier test.
    void MoveTo(QPoint point)
    {
        QMouseEvent move(QEvent::MouseMove, point, m_dlg.mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_dlg, &move);
    }
    void Click(QPoint point, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(&m_dlg, button, {}, point); }

    QColor TextColour(int id) const { return m_dlg.Control(id)->palette().color(QPalette::WindowText); }
    bool IsBlue(int id) const { return TextColour(id) == QColor(0, 0, 255); }
    bool ShowsHand() const { return m_dlg.cursor().shape() == Qt::BitmapCursor; }

    CAboutDlg m_dlg;
    std::vector<QString> m_opened;
    CAboutDlg::OpenUrlHook m_previous;
};

TEST_F(AboutDlgTest, TemplateTexts)
{
    EXPECT_EQ(m_dlg.windowTitle(), QStringLiteral("關於 KVTPlayer"));
    EXPECT_EQ(static_cast<QPushButton*>(m_dlg.Control(1))->text(), QStringLiteral("確定"));
    EXPECT_EQ(static_cast<QLabel*>(m_dlg.Control(1025))->text(), QStringLiteral("網址：vclab.example.org"));
    EXPECT_EQ(static_cast<QLabel*>(m_dlg.Control(1023))->text(), QStringLiteral("E-mail：dmwang@vclab.example.org"));
    EXPECT_EQ(static_cast<QLabel*>(m_dlg.Control(1024))->text(), QStringLiteral("E-mail： xhli@vclab.example.org"));
    QStringList texts;
    for (const QLabel* label : m_dlg.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("KVTPlayer Version 1.1")));
    // The links from top to bottom.
    EXPECT_LT(Centre(1025).y(), Centre(1023).y());
    EXPECT_LT(Centre(1023).y(), Centre(1024).y());
}

TEST_F(AboutDlgTest, HoverHighlightsTheLinkUntilTheMouseIsOverNoLink)
{
    MoveTo(Centre(1025));
    EXPECT_EQ(m_dlg.m_bHover, 1);
    EXPECT_EQ(m_dlg.m_nHoverLink, CAboutDlg::kWebLink);
    EXPECT_TRUE(IsBlue(1025));
    EXPECT_TRUE(ShowsHand());

    // Straight onto the next link: the hand shows, the highlight stays where it was.
    MoveTo(Centre(1023));
    EXPECT_EQ(m_dlg.m_nHoverLink, CAboutDlg::kWebLink);
    EXPECT_TRUE(IsBlue(1025));
    EXPECT_FALSE(IsBlue(1023));
    EXPECT_TRUE(ShowsHand());

    MoveTo(Nowhere());
    EXPECT_EQ(m_dlg.m_bHover, 0);
    EXPECT_EQ(m_dlg.m_nHoverLink, CAboutDlg::kNoLink);
    EXPECT_FALSE(IsBlue(1025));
    EXPECT_FALSE(ShowsHand());

    MoveTo(Centre(1024));
    EXPECT_EQ(m_dlg.m_nHoverLink, CAboutDlg::kAuthorMail);
    EXPECT_TRUE(IsBlue(1024));
}

TEST_F(AboutDlgTest, HighlightedLinkIsPaintedBlue)
{
    const auto bluePixels = [this] {
        const QImage image = m_dlg.Control(1023)->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.blue() > 200 && c.red() < 60 && c.green() < 60;
            }
        }
        return count;
    };
    EXPECT_EQ(bluePixels(), 0);
    MoveTo(Centre(1023));
    EXPECT_GT(bluePixels(), 10);
}

TEST_F(AboutDlgTest, ClicksHandTheirTargetsToTheDesktop)
{
    Click(Centre(1025));
    Click(Centre(1023));
    Click(Centre(1024));
    EXPECT_EQ(m_opened, (std::vector<QString>{QStringLiteral("http://vclab.example.org/"),
                                              QStringLiteral("mailto:dmwang@vclab.example.org"),
                                              QStringLiteral("mailto:xhli@vclab.example.org")}));
    // The click moves the highlight to the clicked link, and the colours follow.
    EXPECT_EQ(m_dlg.m_nHoverLink, CAboutDlg::kAuthorMail);
    EXPECT_TRUE(IsBlue(1024));
    EXPECT_FALSE(IsBlue(1025));
}

TEST_F(AboutDlgTest, OtherClicksOpenNothing)
{
    Click(Nowhere());
    Click(Centre(1025), Qt::RightButton);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(AboutDlgTest, DoubleClickOpensOnce)
{
    // Through the window, so the second press comes as the platform delivers it.
    QTest::mouseDClick(m_dlg.windowHandle(), Qt::LeftButton, {}, Centre(1023));
    EXPECT_EQ(m_opened, std::vector<QString>{QStringLiteral("mailto:dmwang@vclab.example.org")});
    EXPECT_TRUE(ShowsHand());
}

TEST_F(AboutDlgTest, OkEndsTheDialog)
{
    QTest::mouseClick(m_dlg.Control(1), Qt::LeftButton);
    EXPECT_EQ(m_dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dlg.isVisible());
}
}  // namespace
