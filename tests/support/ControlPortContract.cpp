// The control table, class by class. See ControlPortContract.h for how to run it.
#include "ControlPortContract.h"

#include <array>

namespace {

constexpr std::array kAllClasses = {
    ControlClass::TEdit,      ControlClass::TComboBox,    ControlClass::TBitEditComboBox, ControlClass::TCheckBox,
    ControlClass::TCSpinEdit, ControlClass::TProgressBar, ControlClass::TDateTimePicker,  ControlClass::Other,
};

bool HasText(ControlClass c)
{
    return c == ControlClass::TEdit || c == ControlClass::TComboBox;
}

bool HasOwnVisibility(ControlClass c)
{
    return c != ControlClass::TProgressBar && c != ControlClass::Other;
}

bool TakesFocus(ControlClass c)
{
    return c == ControlClass::TEdit || c == ControlClass::TComboBox || c == ControlClass::TCheckBox ||
           c == ControlClass::TCSpinEdit || c == ControlClass::TDateTimePicker;
}

const std::vector<std::string> kItems = {"Нет ошибок", "К/з линии", "Обрыв линии"};

} // namespace

TEST_P(ControlPortContract, ClassAndComponentName)
{
    for (const ControlClass c : kAllClasses) {
        const auto control = Make(c, "Q1Current");
        EXPECT_EQ(control->Port().Class(), c) << ControlClassName(c);
        EXPECT_EQ(control->Port().ComponentName(), "Q1Current") << ControlClassName(c);
    }
}

TEST_P(ControlPortContract, OnlyEditsAndCombosHaveTextAndHint)
{
    for (const ControlClass c : kAllClasses) {
        SCOPED_TRACE(ControlClassName(c));
        const auto control = Make(c, "Control", kItems);
        ControlPort& port = control->Port();
        port.SetText("12,5 м³");
        port.SetHint("Значений - 3\nРазброс - 1.00 %", true);
        if (HasText(c)) {
            EXPECT_EQ(port.Text(), "12,5 м³");
            EXPECT_EQ(control->Hint(), "Значений - 3\nРазброс - 1.00 %");
            EXPECT_TRUE(control->HintShown());
            port.SetHint("", false);
            EXPECT_EQ(control->Hint(), "");
            EXPECT_FALSE(control->HintShown());
        } else {
            EXPECT_EQ(port.Text(), "");
            EXPECT_EQ(control->Hint(), "");
            EXPECT_FALSE(control->HintShown());
        }
    }
}

TEST_P(ControlPortContract, HiddenControlsAreInvisibleExceptProgressBarsAndOthers)
{
    for (const ControlClass c : kAllClasses) {
        const auto control = Make(c);
        EXPECT_TRUE(control->Port().IsVisible()) << ControlClassName(c);
        control->Hide();
        EXPECT_EQ(control->Port().IsVisible(), !HasOwnVisibility(c)) << ControlClassName(c);
    }
}

TEST_P(ControlPortContract, IntegerValuesOfEachClass)
{
    struct Case {
        ControlClass controlClass;
        int32_t written;
        int32_t read;
    };
    const Case cases[] = {
        {ControlClass::TEdit, 5, 0},
        {ControlClass::TCheckBox, 7, 1},
        {ControlClass::TCheckBox, 0, 0},
        {ControlClass::TCSpinEdit, -2, -2},
        {ControlClass::TCSpinEdit, 1234, 1234},
        {ControlClass::TProgressBar, 37, 37},
        {ControlClass::TProgressBar, 100, 100},
        {ControlClass::TDateTimePicker, 90, 90},
        {ControlClass::TDateTimePicker, 1439, 1439},
        {ControlClass::TBitEditComboBox, 0x41, 0x41},
        {ControlClass::Other, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << ControlClassName(c.controlClass) << " " << c.written);
        const auto control = Make(c.controlClass, "Control", {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"});
        EXPECT_TRUE(control->Port().SetValue(c.written));
        EXPECT_EQ(control->Port().Value(), c.read);
        EXPECT_FALSE(control->Port().IsUnknown());
    }
}

TEST_P(ControlPortContract, PickerValueIsMinutesOfTheDay)
{
    const auto control = Make(ControlClass::TDateTimePicker);
    ControlPort& port = control->Port();
    ASSERT_TRUE(port.SetValue(90));
    EXPECT_EQ(port.Time(), (ControlTime{1, 30, 0}));
    ASSERT_TRUE(port.SetTime({23, 59, 40}));
    EXPECT_EQ(port.Value(), 1439);
    for (const int32_t bad : {1440, -1, 100000}) {
        ASSERT_TRUE(port.SetValue(600));
        EXPECT_FALSE(port.SetValue(bad)) << bad;
        EXPECT_TRUE(port.IsUnknown()) << bad;
        EXPECT_EQ(port.Value(), -1) << bad;
        EXPECT_EQ(port.Time(), std::nullopt) << bad;
    }
}

TEST_P(ControlPortContract, ComboSelectsClearsAndRefusesBeyondItsItems)
{
    const auto control = Make(ControlClass::TComboBox, "Status", kItems);
    ControlPort& port = control->Port();
    int handled = 0;
    port.SetChangeHandler([&] { ++handled; });
    EXPECT_EQ(port.ItemCount(), 3);
    EXPECT_EQ(port.Value(), -1) << "a filled combo starts without selection";
    EXPECT_TRUE(port.IsUnknown());

    EXPECT_TRUE(port.SetValue(1));
    EXPECT_EQ(port.Value(), 1);
    EXPECT_EQ(port.Text(), "К/з линии");
    EXPECT_FALSE(port.IsUnknown());
    EXPECT_EQ(handled, 1);

    EXPECT_TRUE(port.SetValue(1));
    EXPECT_EQ(handled, 2) << "the handler runs even when the index stays";

    EXPECT_TRUE(port.SetValue(-1));
    EXPECT_EQ(port.Value(), -1);
    EXPECT_EQ(port.Text(), "");
    EXPECT_EQ(handled, 3);

    ASSERT_TRUE(port.SetValue(2));
    EXPECT_FALSE(port.SetValue(3)) << "the item count is beyond the list";
    EXPECT_EQ(port.Value(), -1);
    EXPECT_TRUE(port.IsUnknown());
    EXPECT_EQ(handled, 5);

    EXPECT_TRUE(port.SetValue(-7));
    EXPECT_EQ(port.Value(), -1);
}

TEST_P(ControlPortContract, BitEditorKeepsEveryBitAndAlwaysRunsItsHandler)
{
    const auto control = Make(ControlClass::TBitEditComboBox, "Flags", {"1", "2", "3", "4", "5"});
    ControlPort& port = control->Port();
    int handled = 0;
    port.SetChangeHandler([&] { ++handled; });
    EXPECT_EQ(port.ItemCount(), 5);
    EXPECT_TRUE(port.SetValue(0xFFE3));
    EXPECT_EQ(port.Value(), 0xFFE3) << "bits without a name are kept";
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(port.SetValue(0xFFE3));
    EXPECT_EQ(handled, 2);
}

TEST_P(ControlPortContract, OnlyCombosAndBitEditorsRunTheHandler)
{
    for (const ControlClass c : kAllClasses) {
        if (c == ControlClass::TComboBox || c == ControlClass::TBitEditComboBox)
            continue;
        const auto control = Make(c);
        int handled = 0;
        control->Port().SetChangeHandler([&] { ++handled; });
        control->Port().SetValue(1);
        control->Port().SetText("1");
        control->Port().SetUnknown();
        EXPECT_EQ(handled, 0) << ControlClassName(c);
    }
    const auto combo = Make(ControlClass::TComboBox, "Combo", kItems);
    int handled = 0;
    combo->Port().SetChangeHandler([&] { ++handled; });
    combo->Port().SetText("К/з линии");
    combo->Port().SetHint("hint", true);
    combo->Port().SetUnknown();
    EXPECT_EQ(handled, 0) << "only integer writes run a combo's handler";
}

TEST_P(ControlPortContract, FocusGoesOnlyToFocusableShownEnabledControls)
{
    for (const ControlClass c : kAllClasses) {
        SCOPED_TRACE(ControlClassName(c));
        const auto shown = Make(c);
        shown->Port().SetFocus();
        EXPECT_EQ(shown->HasFocus(), TakesFocus(c));

        const auto hidden = Make(c);
        hidden->Hide();
        EXPECT_NO_THROW(hidden->Port().SetFocus());
        if (HasOwnVisibility(c)) {
            EXPECT_FALSE(hidden->HasFocus());
        }

        const auto disabled = Make(c);
        disabled->Disable();
        EXPECT_NO_THROW(disabled->Port().SetFocus());
        EXPECT_FALSE(disabled->HasFocus());
    }
}

TEST_P(ControlPortContract, ComboTextColour)
{
    const auto control = Make(ControlClass::TComboBox, "Status", kItems);
    control->Port().SetTextColor(kControlTextRed);
    EXPECT_EQ(control->TextColor(), kControlTextRed);
    control->Port().SetTextColor(kControlTextBlack);
    EXPECT_EQ(control->TextColor(), kControlTextBlack);
}

TEST_P(ControlPortContract, PickerDatesAndTimes)
{
    const auto control = Make(ControlClass::TDateTimePicker, "InitDatePicker");
    ControlPort& port = control->Port();
    EXPECT_TRUE(port.SetDate({2024, 2, 29}));
    EXPECT_EQ(port.Date(), (ControlDate{2024, 2, 29}));
    EXPECT_TRUE(port.SetTime({12, 34, 56}));
    EXPECT_EQ(port.Time(), (ControlTime{12, 34, 56}));

    struct BadDate {
        ControlDate date;
        const char* why;
    };
    const BadDate badDates[] = {
        {{2023, 2, 29}, "no leap day"},
        {{2024, 13, 1}, "month 13"},
        {{2024, 4, 31}, "31 April"},
        {{1999, 12, 31}, "before 2000"},
    };
    for (const BadDate& bad : badDates) {
        ASSERT_TRUE(port.SetDate({2024, 2, 29}));
        EXPECT_FALSE(port.SetDate(bad.date)) << bad.why;
        EXPECT_TRUE(port.IsUnknown()) << bad.why;
        EXPECT_EQ(port.Date(), std::nullopt) << bad.why;
    }
    EXPECT_TRUE(port.SetDate({2030, 12, 31}));
    EXPECT_FALSE(port.IsUnknown()) << "setting a value ends the unknown state";

    for (const ControlTime bad : {ControlTime{24, 0, 0}, ControlTime{12, 60, 0}, ControlTime{12, 0, 60}}) {
        ASSERT_TRUE(port.SetTime({1, 2, 3}));
        EXPECT_FALSE(port.SetTime(bad));
        EXPECT_TRUE(port.IsUnknown());
        EXPECT_EQ(port.Time(), std::nullopt);
    }
    ASSERT_TRUE(port.SetTime({1, 2, 3}));
    port.SetUnknown();
    EXPECT_TRUE(port.IsUnknown());
    EXPECT_EQ(port.Value(), -1);
    EXPECT_EQ(port.Date(), std::nullopt);
}

TEST_P(ControlPortContract, OnlyCombosPickersAndSpinEditsHaveTheUnknownState)
{
    for (const ControlClass c : kAllClasses) {
        SCOPED_TRACE(ControlClassName(c));
        const auto control = Make(c, "Control", kItems);
        ControlPort& port = control->Port();
        if (c == ControlClass::TDateTimePicker || c == ControlClass::TComboBox) {
            ASSERT_TRUE(port.SetValue(1));
            port.SetUnknown();
            EXPECT_TRUE(port.IsUnknown());
            EXPECT_EQ(port.Value(), -1);
        } else if (c == ControlClass::TCSpinEdit) {
            ASSERT_TRUE(port.SetValue(1));
            port.SetUnknown();
            EXPECT_TRUE(port.IsUnknown());
            EXPECT_TRUE(port.SetValue(1));
            EXPECT_FALSE(port.IsUnknown());
        } else {
            port.SetValue(1);
            const int32_t before = port.Value();
            port.SetUnknown();
            EXPECT_FALSE(port.IsUnknown());
            EXPECT_EQ(port.Value(), before);
        }
        if (c != ControlClass::TDateTimePicker) {
            EXPECT_EQ(port.Date(), std::nullopt);
            EXPECT_EQ(port.Time(), std::nullopt);
            EXPECT_FALSE(port.SetDate({2024, 1, 1}));
            EXPECT_FALSE(port.SetTime({1, 2, 3}));
        }
    }
}

// A value outside a spin edit's limits is never shown as some other value: the control is
// unknown until a value it accepts is set, and says which values those are.
TEST_P(ControlPortContract, SpinEditOutsideItsLimitsIsUnknownUntilAValueIsSet)
{
    const auto control = Make(ControlClass::TCSpinEdit, "DirectPipe");
    control->SetLimits(1, 5);
    ControlPort& port = control->Port();
    EXPECT_EQ(port.Limits(), (ControlLimits{1, 5}));
    for (const int32_t good : {1, 3, 5}) {
        EXPECT_TRUE(port.SetValue(good)) << good;
        EXPECT_EQ(port.Value(), good);
        EXPECT_FALSE(port.IsUnknown()) << good;
    }
    for (const int32_t bad : {0, 6, -1, 100000}) {
        ASSERT_TRUE(port.SetValue(3));
        EXPECT_FALSE(port.SetValue(bad)) << bad;
        EXPECT_TRUE(port.IsUnknown()) << bad;
        EXPECT_NE(port.Value(), 3) << bad;
        EXPECT_EQ(port.Limits(), (ControlLimits{1, 5})) << "the limits stay the control's own";
    }
    EXPECT_TRUE(port.SetValue(1)) << "the lowest value is a value, not the unknown state";
    EXPECT_FALSE(port.IsUnknown());
    EXPECT_EQ(port.Value(), 1);

    for (const ControlClass c : kAllClasses) {
        if (c != ControlClass::TCSpinEdit) {
            EXPECT_EQ(Make(c)->Port().Limits(), std::nullopt) << ControlClassName(c);
        }
    }
}
