// SPDX-License-Identifier: GPL-3.0-or-later
// "Enter image size": its limits, its messages, and which edit is checked first.

#include "maker/ImageSizeDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "MessageRecorder.h"

namespace {
const std::string kNotInteger = "請輸入一整數.";
const std::string kOutOfRange = "請輸入一個在 2 到 1000 之間的整數.";

class ImageSizeDlg : public testing::Test {
protected:
    ImageSizeDlg() { dlg.show(); }
    QLineEdit* Edit(int id) const { return static_cast<QLineEdit*>(dlg.Control(id)); }
    // Types the two sides and presses OK; true when the dialog accepted them.
    bool Enter(const QString& width, const QString& height)
    {
        Edit(1005)->setText(width);
        Edit(1006)->setText(height);
        QTest::mouseClick(dlg.Control(1), Qt::LeftButton);
        return dlg.result() == QDialog::Accepted && !dlg.isVisible();
    }

    CImageSizeDlg dlg;
    MessageRecorder messages;
};
}  // namespace

TEST_F(ImageSizeDlg, HasItsCaptionControlsAndZeroSides)
{
    EXPECT_EQ(dlg.windowTitle(), "Enter image size");
    EXPECT_EQ(static_cast<QPushButton*>(dlg.Control(1))->text(), "OK");
    EXPECT_TRUE(static_cast<QPushButton*>(dlg.Control(1))->isDefault());
    EXPECT_EQ(static_cast<QPushButton*>(dlg.Control(2))->text(), "Cancel");
    EXPECT_EQ(dlg.m_nWidth, 0);
    EXPECT_EQ(dlg.m_nHeight, 0);
}

TEST_F(ImageSizeDlg, AcceptsTheLimitsTwoAndAThousand)
{
    EXPECT_TRUE(Enter("2", "1000"));
    EXPECT_EQ(dlg.m_nWidth, 2);
    EXPECT_EQ(dlg.m_nHeight, 1000);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ImageSizeDlg, RefusesEachBadSideWithItsMessageAndFocusOnIt)
{
    const struct {
        QString width, height;
        std::string message;
        int focus;
    } cases[] = {
        {"1", "240", kOutOfRange, 1005},  {"1001", "240", kOutOfRange, 1005}, {"320", "1", kOutOfRange, 1006},
        {"320", "1001", kOutOfRange, 1006}, {"w", "240", kNotInteger, 1005},  {"320", "", kNotInteger, 1006},
        // Height is checked before width.
        {"1", "x", kNotInteger, 1006},
    };
    for (const auto& c : cases) {
        messages.Reset();
        EXPECT_FALSE(Enter(c.width, c.height)) << c.width.toStdString() << " x " << c.height.toStdString();
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(dlg.focusWidget(), dlg.Control(c.focus));
        // Nothing of a refused entry is kept, not even its good side.
        EXPECT_EQ(dlg.m_nWidth, 0);
        EXPECT_EQ(dlg.m_nHeight, 0);
    }
}
