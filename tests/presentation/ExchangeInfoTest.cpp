// The binding base: validation, names, control access and the container's passes.
#include "Failures.h"

#include "presentation/ExchangeInfoContainer.h"
#include "presentation/FakeControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using testsupport::FailureText;

namespace {

// ---------------------------------------------------------------------------------------
// Base validation

struct ValidationCase {
    const char* text;
    std::optional<ExchangeRange> range;
    const char* message; // empty: valid
};

void PrintTo(const ValidationCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
    if (c.range)
        *out << " in " << c.range->Min << "..." << c.range->Max;
}

class ExchangeInfoValidation : public testing::TestWithParam<ValidationCase> {};

TEST_P(ExchangeInfoValidation, TextAndRange)
{
    const ValidationCase& c = GetParam();
    FakeControl edit(ControlClass::TEdit, "WContract");
    ExchangeInfo binding(&edit);
    if (c.range)
        SetBindingNameRange(&binding, "W_дог", *c.range);
    else
        SetBindingName(&binding, "W_дог");
    edit.SetText(c.text);
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), c.message);
}

constexpr ExchangeRange kContract{0, 99999};
constexpr char kEmpty[] = "Значение введено параметра \"W_дог\"";
constexpr char kOutOfRange[] = "Значение параметра \"W_дог\" выходит за диапазон 0...99999";
constexpr char kIncorrect[] = "Некоректное значение параметра \"W_дог\"";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExchangeInfoValidation,
    testing::Values(ValidationCase{"", std::nullopt, kEmpty}, ValidationCase{"", kContract, kEmpty},
                    // Without a range the base takes any text (the kinds that read numbers check more).
                    ValidationCase{"abc", std::nullopt, ""},
                    ValidationCase{"99999", kContract, ""}, ValidationCase{"0", kContract, ""},
                    ValidationCase{"1,5", kContract, ""}, ValidationCase{"1.5", kContract, ""},
                    ValidationCase{"+7", kContract, ""}, ValidationCase{"9.9999e4", kContract, ""},
                    ValidationCase{"1E-3", kContract, ""}, ValidationCase{".5", kContract, ""},
                    ValidationCase{"5.", kContract, ""},
                    ValidationCase{"99999.5", kContract, kOutOfRange}, ValidationCase{"-1", kContract, kOutOfRange},
                    ValidationCase{"1e5", kContract, kOutOfRange},
                    ValidationCase{"abc", kContract, kIncorrect}, ValidationCase{"12x", kContract, kIncorrect},
                    ValidationCase{"1,5,0", kContract, kIncorrect}, ValidationCase{"1.5e", kContract, kIncorrect},
                    ValidationCase{".", kContract, kIncorrect}, ValidationCase{"-", kContract, kIncorrect},
                    ValidationCase{" 5", kContract, kIncorrect}, ValidationCase{"5 ", kContract, kIncorrect},
                    ValidationCase{"0x10", kContract, kIncorrect}, ValidationCase{"inf", kContract, kIncorrect},
                    ValidationCase{"nan", kContract, kIncorrect}, ValidationCase{"1e", kContract, kIncorrect}));

TEST(ExchangeInfo, AnEmptyNameReportsTheComponentName)
{
    FakeControl edit(ControlClass::TEdit, "Kpr_Edit");
    ExchangeInfo binding(&edit);
    binding.SetRange({1, 1.1});
    EXPECT_EQ(binding.GetName(), "Kpr_Edit");
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Значение введено параметра \"Kpr_Edit\"");
    edit.SetText("1.2");
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Значение параметра \"Kpr_Edit\" выходит за диапазон 1...1.1");
    SetBindingName(&binding, "Kпр");
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Значение параметра \"Kпр\" выходит за диапазон 1...1.1");

    ExchangeInfo noControl;
    EXPECT_EQ(noControl.GetName(), "");
}

TEST(ExchangeInfo, ComboValueBeyondItsItemsFailsAndLeavesItUnknown)
{
    FakeControl combo(ControlClass::TComboBox, "SensorType", {"Pt100", "Pt500", "100П"});
    ExchangeInfo binding(&combo);
    ASSERT_NO_THROW(binding.SetControlValue(2));
    EXPECT_EQ(combo.Value(), 2);
    EXPECT_EQ(FailureText([&] { binding.SetControlValue(3); }), "Некоректное значение параметра \"SensorType\"");
    EXPECT_EQ(combo.Value(), -1);
    EXPECT_TRUE(binding.IsControlUnknown());

    const int before = combo.ChangeCount();
    binding.SetControlValue(-1);
    EXPECT_EQ(combo.Value(), -1);
    EXPECT_EQ(combo.ChangeCount(), before + 1) << "clearing runs the change handler once";
}

TEST(ExchangeInfo, ControlAccessWithoutAControl)
{
    ExchangeInfo binding;
    EXPECT_EQ(binding.GetControlText(), "");
    EXPECT_EQ(binding.GetControlValue(), 0);
    EXPECT_TRUE(binding.IsControlVisible());
    EXPECT_FALSE(binding.IsControlUnknown());
    EXPECT_NO_THROW(binding.SetControlText("1", true));
    EXPECT_NO_THROW(binding.SetControlValue(5));
    EXPECT_NO_THROW(binding.FocusControl());
}

TEST(ExchangeInfo, SeparatorModes)
{
    struct Case {
        int32_t mode;
        char system;
        const char* shown;
    };
    const Case cases[] = {
        {1, '.', "1,5;2,5"}, {2, ',', "1.5;2.5"}, {0, ',', "1,5;2,5"}, {0, '.', "1.5;2.5"}, {7, ',', "1,5;2,5"},
    };
    for (const Case& c : cases) {
        FakeControl edit(ControlClass::TEdit, "Edit");
        ExchangeInfo binding(&edit);
        binding.SetSeparatorMode(c.mode, c.system);
        binding.SetControlText("1.5;2,5", true);
        EXPECT_EQ(edit.Text(), c.shown) << c.mode << " " << c.system;
        binding.SetControlText("1.5;2,5", false);
        EXPECT_EQ(edit.Text(), "1.5;2,5") << "without the switch the text stays";
    }
}

TEST(ExchangeInfo, ByteSwaps)
{
    uint16_t word = 0x1234;
    ExchangeInfo::Swap16(word);
    EXPECT_EQ(word, 0x3412);
    uint32_t dword = 0x12345678;
    ExchangeInfo::Swap32(dword);
    EXPECT_EQ(dword, 0x78563412u);
}

TEST(ExchangeInfo, IntegerFormatsReadTheValueAs32Bit)
{
    EXPECT_EQ(FormatBindingInt("%lu", -1), "4294967295");
    EXPECT_EQ(FormatBindingInt("%ld", -5), "-5");
    EXPECT_EQ(FormatBindingInt("%05lu", 123), "00123");
    EXPECT_EQ(FormatBindingInt("%04X", 0xBEEF), "BEEF");
    EXPECT_EQ(FormatBindingInt("%d %%", 7), "7 %");
    EXPECT_EQ(FormatBindingInt("%s", 1), "");
    EXPECT_EQ(FormatBindingInt("%lld", 1), "1");
}

// ---------------------------------------------------------------------------------------
// Passes

// A binding that records the passes reaching it and fails on demand.
class RecordingBinding : public ExchangeInfo {
public:
    using ExchangeInfo::ExchangeInfo;

    void Show() override
    {
        ++shows;
        if (showFailure)
            throw platform::Exception(*showFailure);
        if (showCrash)
            throw std::runtime_error("crash");
    }
    void Store() override
    {
        ++stores;
        if (storeFailure)
            throw platform::Exception(*storeFailure);
    }
    void Validate() override
    {
        ++validations;
        ExchangeInfo::Validate();
    }

    int shows = 0;
    int stores = 0;
    int validations = 0;
    std::optional<std::string> showFailure;
    std::optional<std::string> storeFailure;
    bool showCrash = false;
};

class ExchangeInfoPasses : public testing::Test {
protected:
    RecordingBinding* Add(int32_t group, const std::string& text = "1")
    {
        controls_.push_back(std::make_unique<FakeControl>(ControlClass::TEdit, "Edit" + std::to_string(controls_.size())));
        controls_.back()->SetText(text);
        return container_.Add(group, std::make_unique<RecordingBinding>(controls_.back().get()));
    }
    FakeControl& ControlOf(const RecordingBinding* binding) { return *static_cast<FakeControl*>(binding->Control()); }

    ExchangeInfoContainer container_;
    std::vector<std::unique_ptr<FakeControl>> controls_;
};

TEST_F(ExchangeInfoPasses, AddReturnsTheBindingForItsSetUp)
{
    FakeControl edit(ControlClass::TEdit, "Edit");
    auto owned = std::make_unique<ExchangeInfo>(&edit);
    ExchangeInfo* expected = owned.get();
    ExchangeInfo* added = container_.Add(3, std::move(owned));
    EXPECT_EQ(added, expected);
    SetBindingNameRange(added, "Du1", {0, 65535});
    ASSERT_EQ(container_.Count(), 1u);
    EXPECT_EQ(container_.Entries()[0].BindingGroup, 3);
    EXPECT_EQ(container_.Entries()[0].Binding->GetName(), "Du1");
    EXPECT_EQ(container_.Entries()[0].Binding->Range()->Max, 65535);
}

TEST_F(ExchangeInfoPasses, ValidateStopsAtTheFirstFailureAndFocusesOnlyIt)
{
    RecordingBinding* good = Add(2);
    RecordingBinding* first = Add(2, "");
    RecordingBinding* second = Add(2, "");
    SetBindingName(first, "t_дог1");
    EXPECT_EQ(FailureText([&] { container_.Validate(2); }), "Значение введено параметра \"t_дог1\"");
    EXPECT_EQ(good->validations, 1);
    EXPECT_EQ(second->validations, 0);
    EXPECT_FALSE(ControlOf(good).HasFocus());
    EXPECT_TRUE(ControlOf(first).HasFocus());
    EXPECT_FALSE(ControlOf(second).HasFocus());
}

TEST_F(ExchangeInfoPasses, HiddenControlsAreShownButNeitherValidatedNorStored)
{
    RecordingBinding* shown = Add(1);
    RecordingBinding* hidden = Add(1, "");
    ControlOf(hidden).SetVisible(false);
    container_.Show(1);
    EXPECT_NO_THROW(container_.Validate(1));
    container_.Store(1);
    EXPECT_EQ(hidden->shows, 1);
    EXPECT_EQ(hidden->validations, 0);
    EXPECT_EQ(hidden->stores, 0);
    EXPECT_EQ(shown->validations, 1);
    EXPECT_EQ(shown->stores, 1);
}

TEST_F(ExchangeInfoPasses, ShowReportsEveryFailureAndShowsTheRest)
{
    RecordingBinding* a = Add(0);
    RecordingBinding* b = Add(0);
    RecordingBinding* c = Add(0);
    RecordingBinding* d = Add(0);
    b->showFailure = "Неизвестный номер схемы 2.3";
    d->showFailure = "Некоректное значение параметра \"Status\"";
    std::vector<std::string> messages;
    container_.Show(0, [&](const std::string& message) { messages.push_back(message); });
    EXPECT_EQ(messages, (std::vector<std::string>{"Неизвестный номер схемы 2.3", "Некоректное значение параметра \"Status\""}));
    for (const RecordingBinding* binding : {a, b, c, d})
        EXPECT_EQ(binding->shows, 1);

    // Without a callback the failures are dropped.
    EXPECT_NO_THROW(container_.Show(0));
    EXPECT_EQ(c->shows, 2);
}

TEST_F(ExchangeInfoPasses, OtherExceptionsEndTheShowPass)
{
    RecordingBinding* a = Add(0);
    a->showCrash = true;
    RecordingBinding* b = Add(0);
    EXPECT_THROW(container_.Show(0, [](const std::string&) {}), std::runtime_error);
    EXPECT_EQ(b->shows, 0);
}

TEST_F(ExchangeInfoPasses, StoreCatchesNothing)
{
    RecordingBinding* a = Add(5);
    a->storeFailure = "callback failed";
    RecordingBinding* b = Add(5);
    EXPECT_EQ(FailureText([&] { container_.Store(5); }), "callback failed");
    EXPECT_EQ(b->stores, 0);
}

TEST_F(ExchangeInfoPasses, GroupsAndEveryEntry)
{
    RecordingBinding* g0 = Add(0);
    RecordingBinding* g7 = Add(7);
    RecordingBinding* g32 = Add(32);
    container_.Add(7, std::unique_ptr<ExchangeInfo>()); // an absent binding is skipped
    container_.Show(7);
    EXPECT_EQ(g0->shows + g7->shows + g32->shows, 1);
    EXPECT_EQ(g7->shows, 1);

    container_.Show(-1);
    container_.Validate(-1);
    container_.Store(-5);
    for (const RecordingBinding* binding : {g0, g7, g32}) {
        EXPECT_GE(binding->shows, 1);
        EXPECT_EQ(binding->validations, 1);
        EXPECT_EQ(binding->stores, 1);
    }
    container_.Show(31);
    EXPECT_EQ(g32->shows, 1) << "group 31 has no entry";
}

} // namespace
