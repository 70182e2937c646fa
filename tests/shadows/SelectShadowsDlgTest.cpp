// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadows/SelectShadowsDlg.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A dialog shown (so it has run its initialisation) over the given titles, in creation order.
class SelectShadows : public testing::Test {
protected:
    void Open(std::vector<std::string> titles)
    {
        dlg.m_titles = std::move(titles);
        dlg.show();
    }
    void Pick(QComboBox* combo, const std::string& title)
    {
        const int index = combo->findText(QString::fromStdString(title));
        ASSERT_GE(index, 0) << title;
        combo->setCurrentIndex(index);
    }
    void PickPair(const std::string& first, const std::string& second)
    {
        Pick(dlg.m_cmbShadow1, first);
        Pick(dlg.m_cmbShadow2, second);
    }
    bool Enabled(int id) const { return dlg.Control(id)->isEnabled(); }
    std::vector<bool> RadiosAndOk() const { return {Enabled(1018), Enabled(1020), Enabled(1019), Enabled(1)}; }
    QStringList Items(const QComboBox* combo) const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    CSelectShadowsDlg dlg;
};
}  // namespace

TEST_F(SelectShadows, OpensWithModeOneSelectedModeTwoDisabledAndNothingChosen)
{
    Open({"zeta.kvt", "alpha-Shadow2", "alpha-Shadow1"});
    EXPECT_EQ(dlg.windowTitle(), "Select Shadows");
    const QStringList sorted = {"alpha-Shadow1", "alpha-Shadow2", "zeta.kvt"};
    EXPECT_EQ(Items(dlg.m_cmbShadow1), sorted);
    EXPECT_EQ(Items(dlg.m_cmbShadow2), sorted);
    EXPECT_EQ(dlg.m_cmbShadow1->currentIndex(), -1);
    EXPECT_EQ(dlg.m_cmbShadow2->currentIndex(), -1);
    EXPECT_TRUE(static_cast<QRadioButton*>(dlg.Control(1018))->isChecked());
    EXPECT_EQ(RadiosAndOk(), (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(static_cast<QRadioButton*>(dlg.Control(1018))->text(), "交錯擺   (模式1)");
    EXPECT_EQ(static_cast<QRadioButton*>(dlg.Control(1020))->text(), "交錯擺   (模式2)");
    EXPECT_EQ(static_cast<QRadioButton*>(dlg.Control(1019))->text(), "直接疊");
    EXPECT_EQ(dlg.m_nMode, CSelectShadowsDlg::kInterlaceMode1);
}

TEST_F(SelectShadows, TabOrderFollowsTheTemplate)
{
    Open({"a"});
    QWidget* w = dlg.Control(1);
    for (int id : {2, 1021, 1022, 1018}) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        EXPECT_EQ(w, dlg.Control(id)) << id;
    }
}

TEST_F(SelectShadows, APairOfTheOpenSecretEnablesEveryModeAndFindsTheSecret)
{
    Open({"movie.kvt", "movie-Shadow1", "movie-Shadow2"});
    PickPair("movie-Shadow1", "movie-Shadow2");
    EXPECT_EQ(RadiosAndOk(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(dlg.m_strSecret, "movie.kvt");
}

TEST_F(SelectShadows, ShadowsOfDifferentSecretsAreRefused)
{
    Open({"a-Shadow1", "b-Shadow2"});
    PickPair("a-Shadow1", "b-Shadow2");
    EXPECT_EQ(RadiosAndOk(), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(Enabled(2));  // Cancel always works
}

TEST_F(SelectShadows, APairWhoseSecretIsNotOpenOffersModeOneAndStackingOnly)
{
    Open({"x-Shadow1", "x-Shadow2", "short", "tiny"});
    PickPair("x-Shadow1", "x-Shadow2");
    EXPECT_EQ(RadiosAndOk(), (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(dlg.m_strSecret, "");

    // Titles of eight characters or fewer always pair up: both prefixes are empty.
    PickPair("short", "tiny");
    EXPECT_EQ(RadiosAndOk(), (std::vector<bool>{true, false, true, true}));
}

TEST_F(SelectShadows, AnEarlierSecretIsForgottenWhenThePairChanges)
{
    Open({"movie.kvt", "movie-Shadow1", "movie-Shadow2", "x-Shadow1", "x-Shadow2"});
    PickPair("movie-Shadow1", "movie-Shadow2");
    QTest::mouseClick(dlg.Control(1020), Qt::LeftButton);
    EXPECT_EQ(dlg.m_nMode, CSelectShadowsDlg::kInterlaceMode2);
    PickPair("x-Shadow1", "x-Shadow2");
    EXPECT_EQ(dlg.m_strSecret, "");
    EXPECT_FALSE(Enabled(1020));
    EXPECT_EQ(dlg.m_nMode, CSelectShadowsDlg::kInterlaceMode1);
    EXPECT_TRUE(static_cast<QRadioButton*>(dlg.Control(1018))->isChecked());
}

TEST_F(SelectShadows, OkReportsTheChoiceAndTheLastModeClicked)
{
    Open({"movie.kvt", "movie-Shadow1", "movie-Shadow2"});
    PickPair("movie-Shadow1", "movie-Shadow2");
    QTest::mouseClick(dlg.Control(1020), Qt::LeftButton);
    QTest::mouseClick(dlg.Control(1018), Qt::LeftButton);
    QTest::mouseClick(dlg.Control(1), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_strShadow1, "movie-Shadow1");
    EXPECT_EQ(dlg.m_strShadow2, "movie-Shadow2");
    EXPECT_EQ(dlg.m_nMode, CSelectShadowsDlg::kInterlaceMode1);
}

TEST_F(SelectShadows, OkWithAComboLeftEmptyChoosesNothingThere)
{
    Open({"movie-Shadow1"});
    Pick(dlg.m_cmbShadow1, "movie-Shadow1");
    QTest::mouseClick(dlg.Control(1), Qt::LeftButton);
    EXPECT_EQ(dlg.m_strShadow1, "movie-Shadow1");
    EXPECT_EQ(dlg.m_strShadow2, "");
}

TEST_F(SelectShadows, CancelChangesNothing)
{
    Open({"movie-Shadow1"});
    Pick(dlg.m_cmbShadow1, "movie-Shadow1");
    QTest::mouseClick(dlg.Control(2), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_strShadow1, "");
}
