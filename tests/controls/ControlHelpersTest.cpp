#include "controls/ControlHelpers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include "UnderLocale.h"

#include <gtest/gtest.h>


namespace {

TEST(ControlHelpers, NumbersFromControlTexts)
{
    QLineEdit edit;
    QComboBox combo;
    combo.setEditable(true);
    QSpinBox spin;
    spin.setRange(0, 254);

    edit.setText(QStringLiteral("3,25"));
    EXPECT_DOUBLE_EQ(ControlTextToFloat(&edit), 3.25);
    edit.setText(QStringLiteral("-1"));
    EXPECT_EQ(EditTextToUInt(&edit), 4294967295u);
    combo.setEditText(QStringLiteral("19200"));
    EXPECT_EQ(ControlTextToUInt(&combo), 19200u);
    combo.setEditText(QStringLiteral("скорость"));
    EXPECT_EQ(ControlTextToUInt(&combo), 0u);
    spin.setValue(17);
    EXPECT_EQ(ControlTextToUInt(&spin), 17u);

    EXPECT_EQ(ControlTextToFloat(nullptr), 0.0);
    EXPECT_EQ(EditTextToUInt(nullptr), 0u);
    EXPECT_EQ(ControlTextToUInt(nullptr), 0u);
}

TEST(ControlHelpers, NumbersDoNotFollowTheLocale)
{
    const testsupport::ScopedLocale russian("ru_RU.UTF-8");
    ASSERT_TRUE(russian.Ok());
    QLineEdit edit(QStringLiteral("1.5"));
    EXPECT_DOUBLE_EQ(ControlTextToFloat(&edit), 1.5);
    QLabel label;
    SetControlIntText(&label, 42, "%05d");
    EXPECT_EQ(label.text(), QStringLiteral("00042"));
}

TEST(ControlHelpers, ComboIndex)
{
    QComboBox combo;
    EXPECT_EQ(GetComboIndex(&combo), 0);
    combo.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    SetComboIndex(&combo, 2);
    EXPECT_EQ(GetComboIndex(&combo), 2);
    SetComboIndex(&combo, 3); // equal to the count: nothing chosen
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(GetComboIndex(&combo), 0);
    SetComboIndex(&combo, -5);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(GetComboIndex(nullptr), 0);
    SetComboIndex(nullptr, 1);
}

TEST(ControlHelpers, FilledComboStartsWithNothingChosen)
{
    QComboBox combo;
    combo.addItems({QStringLiteral("old")});
    ASSERT_EQ(combo.currentIndex(), 0);
    SetComboItems(&combo, {QStringLiteral("не выбрано"), QStringLiteral("ТС1"), QStringLiteral("ТС2")});
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("ТС1"));
    EXPECT_EQ(combo.currentIndex(), -1);
    SetComboItems(&combo, {});
    EXPECT_EQ(combo.count(), 0);
    SetComboItems(nullptr, {QStringLiteral("a")});
}

TEST(ControlHelpers, SetControlIntText)
{
    QLineEdit edit(QStringLiteral("old"));
    SetControlIntText(&edit, 7, "%d");
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
    SetControlIntText(&edit, 7, "");
    EXPECT_EQ(edit.text(), QString());
    SetControlIntText(&edit, 7, "%s"); // would read a text that is not there
    EXPECT_EQ(edit.text(), QString());
    SetControlIntText(nullptr, 7, "%d");
}

} // namespace
