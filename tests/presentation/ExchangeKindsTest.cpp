// The binding kinds: what each shows for given field bytes, what it stores for a typed text,
// what it accepts, and that a value survives show → store → show.
#include "Failures.h"
#include "UnderLocale.h"

#include "presentation/ExchangeKinds.h"
#include "presentation/FakeControl.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

using testsupport::FailureText;

namespace {

using Bytes = std::vector<uint8_t>;

// "FF38" → {0xFF, 0x38}; blanks are ignored.
Bytes Hex(const char* text)
{
    Bytes out;
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != ' ')
            digits += *p;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

// Overwrites the bytes in place, so that spans into them stay valid.
void Put(Bytes& field, const char* hex)
{
    const Bytes bytes = Hex(hex);
    ASSERT_EQ(bytes.size(), field.size());
    std::copy(bytes.begin(), bytes.end(), field.begin());
}

std::string HexOf(const Bytes& bytes)
{
    std::string out;
    char buffer[4];
    for (const uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X", b);
        out += buffer;
    }
    return out;
}

Bytes FloatBytes(float value)
{
    const auto bits = std::bit_cast<uint32_t>(value);
    return {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits)};
}

using Make = std::function<std::unique_ptr<ExchangeInfo>(std::span<uint8_t> field, ControlPort* control)>;

template <typename Kind>
Make WithFormat(std::string format)
{
    return [format](std::span<uint8_t> field, ControlPort* control) {
        return std::make_unique<Kind>(field, control, format);
    };
}

template <typename Kind>
Make Plain()
{
    return [](std::span<uint8_t> field, ControlPort* control) { return std::make_unique<Kind>(field, control); };
}

Make Pressure(bool kgf)
{
    return [kgf](std::span<uint8_t> field, ControlPort* control) {
        auto binding = std::make_unique<PressureExchangeInfo>(field, control);
        binding->SetUnitSwitch(kgf);
        return binding;
    };
}

Make Text(int32_t length, bool swap)
{
    return [length, swap](std::span<uint8_t> field, ControlPort* control) {
        return std::make_unique<StringExchangeInfo>(field, control, length, swap);
    };
}

Make Duration(bool days)
{
    return [days](std::span<uint8_t> field, ControlPort* control) {
        return std::make_unique<TotalTimeExchangeInfo>(field, control, days);
    };
}

Make Separated(Make make, int32_t mode)
{
    return [make, mode](std::span<uint8_t> field, ControlPort* control) {
        auto binding = make(field, control);
        binding->SetSeparatorMode(mode, '.');
        return binding;
    };
}

// A binding over its own field and an edit named "Edit1", with the name "Par".
struct Bound {
    Bound(const Make& make, Bytes bytes, ControlClass controlClass = ControlClass::TEdit,
          std::vector<std::string> items = {})
        : field(std::move(bytes)), control(controlClass, "Edit1", std::move(items)), binding(make(field, &control))
    {
        SetBindingName(binding.get(), "Par");
    }

    Bytes field;
    FakeControl control;
    std::unique_ptr<ExchangeInfo> binding;
};

// ---------------------------------------------------------------------------------------
// Show

struct ShowCase {
    const char* name;
    Make make;
    const char* field;
    const char* text;
};

class ExchangeKindsShow : public testsupport::UnderLocale {};

TEST_P(ExchangeKindsShow, FieldBytesToText)
{
    const ShowCase cases[] = {
        {"temperature", Plain<TemperatureExchangeInfo>(), "FF38", "-2.00"},
        {"temperature, comma", Separated(Plain<TemperatureExchangeInfo>(), 1), "00FA", "2,50"},
        {"pressure in MPa", Pressure(false), "3039", "1.2345"},
        {"pressure in kgf/cm²", Pressure(true), "3039", "12.345"},
        {"negative pressure", Pressure(false), "FFFF", "-0.0001"},
        {"resistance", Plain<ResistanceExchangeInfo>(), "0001 86A0", "100.000"},
        {"current", Plain<CurrentExchangeInfo>(), "05DC", "1.500"},
        {"float %f 12.5", WithFormat<FloatExchangeInfo>("%f"), "41480000", "12.5"},
        {"float %f 3", WithFormat<FloatExchangeInfo>("%f"), "40400000", "3"},
        {"float %.2f 3", WithFormat<FloatExchangeInfo>("%.2f"), "40400000", "3.00"},
        {"float %f 2.5", WithFormat<FloatExchangeInfo>("%f"), "40200000", "2.5"},
        {"float %g", WithFormat<FloatExchangeInfo>("%g"), "501502F9", "1e+10"},
        {"float %f, comma", Separated(WithFormat<FloatExchangeInfo>("%f"), 1), "41480000", "12,5"},
        {"exact", WithFormat<ExactExchangeInfo>("%013.3f"), "000004D2 3F000000", "000001234.500"},
        {"exact, six decimals", WithFormat<ExactExchangeInfo>("%016.6f"), "0000000C 3E800000", "000000012.250000"},
        {"exact, negative", WithFormat<ExactExchangeInfo>("%013.3f"), "FFFFFFFF BE800000", "-00000001.250"},
        {"string, pair swap", Text(4, true), "42 41 44 43", "ABCD"},
        {"string, zero-terminated", Text(6, false), "41 42 00 43 44 45", "AB"},
        {"string, all four bytes", Text(4, false), "41 42 43 44", "ABCD"},
        {"string, Windows-1251", Text(4, false), "CF F0 00 00", "Пр"},
        {"byte: the low byte only", WithFormat<BYTEExchangeInfo>("%u"), "012C", "44"},
        {"word", WithFormat<WordExchangeInfo>("%u"), "FFFF", "65535"},
        {"word, hex", WithFormat<WordExchangeInfo>("%04X"), "BEEF", "BEEF"},
        {"short", WithFormat<ShortExchangeInfo>("%d"), "FFFE", "-2"},
        {"dword %lu", WithFormat<DWordExchangeInfo>("%lu"), "FFFFFFFF", "4294967295"},
        {"dword %05u", WithFormat<DWordExchangeInfo>("%05u"), "0000007B", "00123"},
        {"long %ld", WithFormat<LongExchangeInfo>("%ld"), "FFFFFFFE", "-2"},
        {"duration in hours", Duration(false), "000005DC", "25:00"},
        {"duration in days", Duration(true), "000005DC", "1-сут 01:00"},
        {"ip address", Plain<IpAddrExchangeInfo>(), "0A 01 A8 C0", "192.168.1.10"},
    };
    for (const ShowCase& c : cases) {
        Bound b(c.make, Hex(c.field));
        EXPECT_EQ(FailureText([&] { b.binding->Show(); }), "") << c.name;
        EXPECT_EQ(b.control.Text(), c.text) << c.name;
    }
}

TEST_P(ExchangeKindsShow, PulseWeightsKeepEveryDigit)
{
    // The shortest fixed text that reads back to the same float.
    const std::pair<float, const char*> cases[] = {
        {0.0000125f, "0.0000125"}, {0.00001f, "0.00001"}, {0.0005f, "0.0005"}, {4e-7f, "0.0000004"},
        {12.5f, "12.5"},           {3.0f, "3"},           {-0.75f, "-0.75"},   {100.0f, "100"},
    };
    for (const auto& [value, text] : cases) {
        Bound b(WithFormat<FloatExchangeInfo>("%f"), FloatBytes(value));
        b.binding->Show();
        EXPECT_EQ(b.control.Text(), text) << value;
        b.binding->Validate();
        b.field.assign(4, 0);
        b.binding->Store();
        EXPECT_EQ(b.field, FloatBytes(value)) << text << " reads back to the same float";
    }
}

TEST_P(ExchangeKindsShow, PressureFormatFollowsTheUnitAtEveryShow)
{
    Bound b(Pressure(false), Hex("3039"));
    b.binding->Show();
    EXPECT_EQ(b.binding->Format(), "%.4f");
    static_cast<PressureExchangeInfo&>(*b.binding).SetUnitSwitch(true);
    EXPECT_EQ(b.binding->Format(), "%.4f") << "changes with the next show";
    b.binding->Show();
    EXPECT_EQ(b.binding->Format(), "%.3f");
    EXPECT_EQ(b.control.Text(), "12.345");
}

DAX_INSTANTIATE_UNDER_LOCALES(ExchangeKindsShow);

TEST(ExchangeKindsChoices, SchemeCodes)
{
    const std::vector<std::string> schemes(29, "scheme");
    Bound known(Plain<DaxSchemeComboBoxExchangeInfo>(), Hex("0023"), ControlClass::TComboBox, schemes);
    known.binding->Show();
    EXPECT_EQ(known.control.Value(), 7) << "0x23 is the eighth scheme code";

    Bound unknown(Plain<DaxSchemeComboBoxExchangeInfo>(), Hex("0123"), ControlClass::TComboBox, schemes);
    unknown.control.SetValue(3);
    EXPECT_EQ(FailureText([&] { unknown.binding->Show(); }), "Неизвестный номер схемы 2.3");
    EXPECT_EQ(unknown.control.Value(), -1);
    unknown.binding->Store();
    EXPECT_EQ(unknown.field, Hex("0123")) << "no selection stores nothing";
    EXPECT_EQ(FailureText([&] { unknown.binding->Validate(); }), "Значение параметра \"Par\" не выбрано");

    unknown.control.SetValue(28);
    unknown.binding->Store();
    EXPECT_EQ(unknown.field, Hex("0064"));
    EXPECT_EQ(unknown.binding->GetType(), 16);
}

TEST(ExchangeKindsChoices, StatusColours)
{
    const std::vector<std::string> names = {"Нет ошибок", "К/з линии", "Обрыв линии"};
    Bound ok(Plain<ChanelStatusComboBoxExchangeInfo>(), Hex("0000"), ControlClass::TComboBox, names);
    ok.control.SetTextColor(kControlTextRed);
    ok.binding->Show();
    EXPECT_EQ(ok.control.Text(), "Нет ошибок");
    EXPECT_EQ(ok.control.TextColor(), kControlTextBlack);

    Bound shorted(Plain<ChanelStatusComboBoxExchangeInfo>(), Hex("0001"), ControlClass::TComboBox, names);
    shorted.binding->Show();
    EXPECT_EQ(shorted.control.Text(), "К/з линии");
    EXPECT_EQ(shorted.control.TextColor(), kControlTextRed);
}

TEST(ExchangeKindsChoices, ComboBeyondItsListIsLeftUnknownAndNotStored)
{
    Bound b(Plain<ComboBoxExchangeInfo>(), Hex("0002"), ControlClass::TComboBox, {"Вкл", "Выкл"});
    b.control.SetValue(1);
    EXPECT_EQ(FailureText([&] { b.binding->Show(); }), "Некоректное значение параметра \"Par\"");
    EXPECT_TRUE(b.control.IsUnknown());
    b.binding->Store();
    EXPECT_EQ(b.field, Hex("0002"));
    EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), "Значение параметра \"Par\" не выбрано");

    b.control.SetValue(1); // the user chooses
    EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), "");
    b.binding->Store();
    EXPECT_EQ(b.field, Hex("0001"));
}

TEST(ExchangeKindsChoices, ControlValues)
{
    struct Case {
        ValueKind kind;
        const char* field;
        int32_t shown;
        int32_t typed;
        const char* stored;
    };
    const Case cases[] = {
        {ValueKind::SignedByte, "12FE", -2, -2, "FFFE"},
        {ValueKind::SignedByte, "0005", 5, 300, "012C"},
        {ValueKind::UnsignedWord, "FFFE", 65534, 0x41, "0041"},
        {ValueKind::SignedWord, "FFFE", -2, -3, "FFFD"},
        {ValueKind::Long, "FFFFFFFE", -2, 0x12345678, "12345678"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        FakeControl spin(ControlClass::TCSpinEdit, "Spin");
        Bytes field = Hex(c.field);
        ValueExchangeInfo binding(c.kind, field, &spin);
        EXPECT_EQ(binding.GetValueKind(), static_cast<int32_t>(c.kind));
        binding.Show();
        EXPECT_EQ(spin.Value(), c.shown);
        spin.SetValue(c.typed);
        EXPECT_NO_THROW(binding.Validate()) << "the control holds an integer: nothing to check";
        binding.Store();
        EXPECT_EQ(HexOf(field), c.stored);
    }
}

TEST(ExchangeKindsChoices, MinutesBeyondADayLeaveThePickerUnknown)
{
    FakeControl picker(ControlClass::TDateTimePicker, "TimerOn");
    Bytes field = Hex("005A");
    ValueExchangeInfo binding(ValueKind::UnsignedWord, field, &picker);
    binding.Show();
    EXPECT_EQ(picker.Time(), (ControlTime{1, 30, 0}));
    Put(field, "05A0"); // 1440
    EXPECT_EQ(FailureText([&] { binding.Show(); }), "Некоректное значение параметра \"TimerOn\"");
    EXPECT_TRUE(picker.IsUnknown());
    binding.Store();
    EXPECT_EQ(field, Hex("05A0")) << "an unknown picker stores nothing";
    picker.SetValue(1439);
    binding.Store();
    EXPECT_EQ(field, Hex("059F"));
}

TEST(ExchangeKindsChoices, Dates)
{
    Bytes day = Hex("001D"), month = Hex("0002"), year = Hex("0018");
    FakeControl picker(ControlClass::TDateTimePicker, "InitDatePicker");
    DateExchangeInfo binding(day, month, year, &picker);
    binding.Show();
    EXPECT_EQ(picker.Date(), (ControlDate{2024, 2, 29}));

    Put(day, "001F"); // 31 February
    EXPECT_EQ(FailureText([&] { binding.Show(); }), "Некоректное значение \"InitDatePicker\"");
    EXPECT_TRUE(picker.IsUnknown());
    binding.Store();
    EXPECT_EQ(day, Hex("001F"));
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Некоректное значение \"InitDatePicker\"");

    picker.SetDate({2031, 12, 24});
    EXPECT_NO_THROW(binding.Validate());
    binding.Store();
    EXPECT_EQ(HexOf(day) + HexOf(month) + HexOf(year), "0018000C001F");
    EXPECT_EQ(binding.GetType(), 19);
}

TEST(ExchangeKindsChoices, DatesWithoutAYear)
{
    Bytes day = Hex("000F"), month = Hex("0004");
    FakeControl picker(ControlClass::TDateTimePicker, "SummerStart");
    DateExchangeInfo binding(day, month, {}, &picker);
    binding.Show();
    EXPECT_EQ(picker.Date(), (ControlDate{2000, 4, 15}));
    picker.SetDate({2000, 2, 29});
    binding.Store();
    EXPECT_EQ(HexOf(day) + HexOf(month), "001D0002");
}

// A calendar that holds years before 2000, as some could.
class OldCalendar : public FakeControl {
public:
    OldCalendar() : FakeControl(ControlClass::TDateTimePicker, "Calendar") {}
    std::optional<ControlDate> Date() const override { return ControlDate{1999, 12, 31}; }
};

TEST(ExchangeKindsChoices, DateYearsBefore2000AreRefused)
{
    Bytes day = Hex("0001"), month = Hex("0001"), year = Hex("0000");
    OldCalendar calendar;
    DateExchangeInfo binding(day, month, year, &calendar);
    EXPECT_EQ(FailureText([&] { binding.Validate(); }),
              "Значение параметра \"Calendar\" выходит за диапазон 2000...9999");
    binding.Store();
    EXPECT_EQ(year, Hex("0000")) << "the year is never wrapped";
}

TEST(ExchangeKindsChoices, Times)
{
    Bytes hours = Hex("000C"), minutes = Hex("0022"), seconds = Hex("0038");
    FakeControl picker(ControlClass::TDateTimePicker, "InitTimePicker");
    TimeExchangeInfo binding(hours, minutes, seconds, &picker);
    binding.Show();
    EXPECT_EQ(picker.Time(), (ControlTime{12, 34, 56}));

    Put(hours, "0019");
    EXPECT_EQ(FailureText([&] { binding.Show(); }), "Некоректное значение \"InitTimePicker\"");
    EXPECT_TRUE(picker.IsUnknown());
    binding.Store();
    EXPECT_EQ(hours, Hex("0019"));
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Некоректное значение \"InitTimePicker\"");

    picker.SetTime({23, 59, 1});
    binding.Validate();
    binding.Store();
    EXPECT_EQ(HexOf(hours) + HexOf(minutes) + HexOf(seconds), "0017003B0001");

    Bytes onlyHours = Hex("0003");
    TimeExchangeInfo partial(onlyHours, {}, {}, &picker);
    partial.Show();
    EXPECT_EQ(picker.Time(), (ControlTime{3, 0, 0}));
}

TEST(ExchangeKindsChoices, Delegates)
{
    std::string calls;
    DelegateExchangeInfo binding([&] { calls += "show "; }, [&] { calls += "store "; },
                                 [&] { throw platform::Exception("Параметры калибровки ЖКИ не установлены"); });
    binding.Show();
    binding.Store();
    EXPECT_EQ(calls, "show store ");
    EXPECT_EQ(FailureText([&] { binding.Validate(); }), "Параметры калибровки ЖКИ не установлены");
    DelegateExchangeInfo empty({}, {}, {});
    EXPECT_NO_THROW(empty.Show());
    EXPECT_NO_THROW(empty.Store());
    EXPECT_NO_THROW(empty.Validate());
    EXPECT_EQ(empty.GetType(), 21);
}

TEST(ExchangeKindsChoices, FieldsOfTheWrongSizeAreRefused)
{
    Bytes three(3);
    FakeControl edit(ControlClass::TEdit, "Edit1");
    EXPECT_EQ(FailureText([&] { FloatExchangeInfo(three, &edit, "%f"); }), "Поле параметра \"Edit1\": 3 байт вместо 4");
    EXPECT_NE(FailureText([&] { TemperatureExchangeInfo(three, &edit); }), "");
    EXPECT_NE(FailureText([&] { StringExchangeInfo(three, &edit, 4, false); }), "");
    EXPECT_NE(FailureText([&] { ValueExchangeInfo(ValueKind::Long, std::span<uint8_t>(three).first(2), &edit); }), "");
    EXPECT_NE(FailureText([&] { DateExchangeInfo(three, {}, {}, &edit); }), "");
}

TEST(ExchangeKindsChoices, TypeCodes)
{
    Bytes f(8);
    std::span<uint8_t> two = std::span<uint8_t>(f).first(2), four = std::span<uint8_t>(f).first(4);
    EXPECT_EQ(ExchangeInfo().GetType(), 0);
    EXPECT_EQ(FloatExchangeInfo(four, nullptr, "%f").GetType(), 1);
    EXPECT_EQ(StringExchangeInfo(four, nullptr, 4, false).GetType(), 2);
    EXPECT_EQ(BYTEExchangeInfo(two, nullptr, "%u").GetType(), 3);
    EXPECT_EQ(WordExchangeInfo(two, nullptr, "%u").GetType(), 5);
    EXPECT_EQ(ShortExchangeInfo(two, nullptr, "%d").GetType(), 6);
    EXPECT_EQ(DWordExchangeInfo(four, nullptr, "%u").GetType(), 7);
    EXPECT_EQ(LongExchangeInfo(four, nullptr, "%d").GetType(), 8);
    EXPECT_EQ(TotalTimeExchangeInfo(four, nullptr, false).GetType(), 9);
    EXPECT_EQ(ExactExchangeInfo(f, nullptr, "%013.3f").GetType(), 10);
    EXPECT_EQ(IpAddrExchangeInfo(four, nullptr).GetType(), 11);
    EXPECT_EQ(TemperatureExchangeInfo(two, nullptr).GetType(), 12);
    EXPECT_EQ(PressureExchangeInfo(two, nullptr).GetType(), 13);
    EXPECT_EQ(ResistanceExchangeInfo(four, nullptr).GetType(), 14);
    EXPECT_EQ(CurrentExchangeInfo(two, nullptr).GetType(), 15);
    EXPECT_EQ(ComboBoxExchangeInfo(two, nullptr).GetType(), 16);
    EXPECT_EQ(ChanelStatusComboBoxExchangeInfo(two, nullptr).GetType(), 17);
    EXPECT_EQ(ValueExchangeInfo(ValueKind::SignedByte, two, nullptr).GetType(), 18);
    EXPECT_EQ(TimeExchangeInfo({}, {}, {}, nullptr).GetType(), 20);
    EXPECT_EQ(TemperatureExchangeInfo(two, nullptr).Format(), "%.2f");
    EXPECT_EQ(ResistanceExchangeInfo(four, nullptr).Format(), "%.3f");
    EXPECT_EQ(CurrentExchangeInfo(two, nullptr).Format(), "%.3f");
}

// ---------------------------------------------------------------------------------------
// Store

struct StoreCase {
    const char* name;
    Make make;
    const char* before;
    const char* text;
    const char* after;
};

class ExchangeKindsStore : public testsupport::UnderLocale {};

TEST_P(ExchangeKindsStore, TextToFieldBytes)
{
    const StoreCase cases[] = {
        {"temperature rounds half away from zero", Plain<TemperatureExchangeInfo>(), "0000", "-2.005", "FF37"},
        {"temperature with a comma", Plain<TemperatureExchangeInfo>(), "0000", "2,5", "00FA"},
        {"resistance", Plain<ResistanceExchangeInfo>(), "0000 0000", "100.000", "0001 86A0"},
        {"resistance below a thousandth", Plain<ResistanceExchangeInfo>(), "1111 1111", "0.0004", "0000 0000"},
        {"current", Plain<CurrentExchangeInfo>(), "0000", "1.5", "05DC"},
        {"pressure in MPa", Pressure(false), "0000", "1.2345", "3039"},
        {"pressure in kgf/cm²", Pressure(true), "0000", "12,345", "3039"},
        {"exact", WithFormat<ExactExchangeInfo>("%013.3f"), "0000 0000 0000 0000", "-1.25", "FFFF FFFF BE80 0000"},
        {"exact, large", WithFormat<ExactExchangeInfo>("%013.3f"), "0000 0000 0000 0000", "2147483647.5",
         "7FFF FFFF 3F00 0000"},
        {"string, pair swap", Text(4, true), "1111 1111", "AB", "4241 0000"},
        {"string, Windows-1251", Text(4, false), "1111 1111", "Пр", "CFF0 0000"},
        {"string, full length", Text(4, false), "1111 1111", "ABCD", "4142 4344"},
        {"string too long is not stored", Text(4, false), "1111 1111", "ABCDE", "1111 1111"},
        {"string the code page lacks is not stored", Text(4, false), "1111 1111", "日", "1111 1111"},
        {"float", WithFormat<FloatExchangeInfo>("%g"), "0000 0000", "1,5", "3FC0 0000"},
        {"byte keeps the low byte", WithFormat<BYTEExchangeInfo>("%u"), "FFFF", "300", "002C"},
        {"byte drops a fraction", WithFormat<BYTEExchangeInfo>("%u"), "FFFF", "7,9", "0007"},
        {"word keeps the low bits", WithFormat<WordExchangeInfo>("%u"), "0000", "70000", "1170"},
        {"word of -1", WithFormat<WordExchangeInfo>("%u"), "0000", "-1", "FFFF"},
        {"short", WithFormat<ShortExchangeInfo>("%d"), "0000", "-2", "FFFE"},
        {"dword", WithFormat<DWordExchangeInfo>("%lu"), "0000 0000", "4294967295", "FFFF FFFF"},
        {"long", WithFormat<LongExchangeInfo>("%ld"), "0000 0000", "-2", "FFFF FFFE"},
        {"pressure beyond its register keeps the low bits", Pressure(false), "0000", "3.3", "80E8"},
        {"duration is read only", Duration(false), "0000 05DC", "99:00", "0000 05DC"},
        {"ip address", Plain<IpAddrExchangeInfo>(), "0000 0000", "192.168.1.10", "0A01 A8C0"},
        {"ip host name writes nothing", Plain<IpAddrExchangeInfo>(), "0000 0000", "localhost", "0000 0000"},
        {"exact beyond 32 bits writes nothing", WithFormat<ExactExchangeInfo>("%013.3f"), "0000 0001 0000 0000",
         "1e12", "0000 0001 0000 0000"},
    };
    for (const StoreCase& c : cases) {
        Bound b(c.make, Hex(c.before));
        b.control.SetText(c.text);
        b.binding->Store();
        EXPECT_EQ(HexOf(b.field), HexOf(Hex(c.after))) << c.name;
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(ExchangeKindsStore);

// ---------------------------------------------------------------------------------------
// Validation: only whole numbers, only what the field can hold

struct ValidateCase {
    const char* name;
    Make make;
    size_t size; // of the field
    const char* text;
    const char* message; // "" valid; "range A...B" for the range message with that interval; "incorrect"
};

std::string Expected(const char* message)
{
    const std::string m = message;
    if (m.empty())
        return m;
    if (m == "incorrect")
        return "Некоректное значение параметра \"Par\"";
    if (m == "empty")
        return "Значение введено параметра \"Par\"";
    if (m == "ip")
        return "Введен некоректный IP адрес параметра \"Par\"";
    if (m.rfind("range ", 0) == 0)
        return "Значение параметра \"Par\" выходит за диапазон " + m.substr(6);
    return m;
}

class ExchangeKindsValidate : public testsupport::UnderLocale {};

TEST_P(ExchangeKindsValidate, TextsEachKindAccepts)
{
    const auto byte = WithFormat<BYTEExchangeInfo>("%u");
    const auto word = WithFormat<WordExchangeInfo>("%u");
    const auto shortKind = WithFormat<ShortExchangeInfo>("%d");
    const auto dword = WithFormat<DWordExchangeInfo>("%lu");
    const auto longKind = WithFormat<LongExchangeInfo>("%ld");
    const auto floatKind = WithFormat<FloatExchangeInfo>("%g");
    const auto exact = WithFormat<ExactExchangeInfo>("%013.3f");
    const auto temperature = Plain<TemperatureExchangeInfo>();
    const auto resistance = Plain<ResistanceExchangeInfo>();
    const auto current = Plain<CurrentExchangeInfo>();
    const ValidateCase cases[] = {
        {"byte", byte, 2, "255", ""},
        {"byte", byte, 2, "1,5", ""},
        {"byte", byte, 2, "256", "range 0...255"},
        {"byte", byte, 2, "300", "range 0...255"},
        {"byte", byte, 2, "-1", "range 0...255"},
        {"byte: no exponent for integers", byte, 2, "1e2", "incorrect"},
        {"byte", byte, 2, "", "empty"},
        {"byte", byte, 2, "abc", "incorrect"},
        {"word", word, 2, "65535", ""},
        {"word", word, 2, "65535.9", ""},
        {"word: Du of 70000", word, 2, "70000", "range 0...65535"},
        {"word", word, 2, "-1", "range 0...65535"},
        {"word", word, 2, "12x", "incorrect"},
        {"short", shortKind, 2, "-32768", ""},
        {"short", shortKind, 2, "32767", ""},
        {"short", shortKind, 2, "32768", "range -32768...32767"},
        {"short", shortKind, 2, "-32769", "range -32768...32767"},
        {"dword", dword, 4, "4294967295", ""},
        {"dword", dword, 4, "4294967296", "range 0...4.29497e+09"},
        {"dword", dword, 4, "-1", "range 0...4.29497e+09"},
        {"long", longKind, 4, "-2147483648", ""},
        {"long", longKind, 4, "2147483647", ""},
        {"long", longKind, 4, "2147483648", "range -2.14748e+09...2.14748e+09"},
        {"float", floatKind, 4, "-1.5e+38", ""},
        {"float", floatKind, 4, "1e39", "range -3.40282e+38...3.40282e+38"},
        {"float", floatKind, 4, "1e999", "range -3.40282e+38...3.40282e+38"},
        {"float", floatKind, 4, "0,0000125", ""},
        {"float", floatKind, 4, "nan", "incorrect"},
        {"float", floatKind, 4, "", "empty"},
        {"exact", exact, 8, "2147483647.9", ""},
        {"exact", exact, 8, "-2147483648.9", ""},
        {"exact", exact, 8, "2147483648", "range -2.14748e+09...2.14748e+09"},
        {"exact", exact, 8, "-2147483649", "range -2.14748e+09...2.14748e+09"},
        {"temperature", temperature, 2, "327.67", ""},
        {"temperature", temperature, 2, "-327.68", ""},
        {"temperature", temperature, 2, "327.68", "range -327.68...327.67"},
        {"temperature", temperature, 2, "-327.69", "range -327.68...327.67"},
        {"temperature: -327.685 is -327.684997 in single precision", temperature, 2, "-327.685", ""},
        {"temperature", temperature, 2, "1e10", "range -327.68...327.67"},
        {"pressure in MPa", Pressure(false), 2, "3.2767", ""},
        {"pressure in MPa: P_дог of 3.3", Pressure(false), 2, "3.3", "range -3.2768...3.2767"},
        {"pressure in kgf/cm²", Pressure(true), 2, "32.767", ""},
        {"pressure in kgf/cm²", Pressure(true), 2, "33", "range -32.768...32.767"},
        {"current", current, 2, "65.535", ""},
        {"current", current, 2, "65.536", "range 0...65.535"},
        {"current", current, 2, "-0.001", "range 0...65.535"},
        {"resistance", resistance, 4, "2000000", ""},
        {"resistance", resistance, 4, "2200000", "range 0...2.14748e+06"},
        {"resistance", resistance, 4, "-0.001", "range 0...2.14748e+06"},
        {"resistance: below a thousandth is 0", resistance, 4, "-0.0004", ""},
        {"string", Text(4, false), 4, "", ""},
        {"string", Text(4, false), 4, "ПРИВ", ""},
        {"string counts Windows-1251 bytes", Text(4, false), 4, "ПРИВЕ",
         "Длина значения параметра \"Par\" больше 4 символов"},
        {"string", Text(4, false), 4, "日", "incorrect"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "192.168.1.10", ""},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "0.0.0.0", ""},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "", "ip"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "localhost", "ip"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "1.2.3", "ip"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "256.1.1.1", "ip"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "1.2.3.4 ", "ip"},
        {"ip", Plain<IpAddrExchangeInfo>(), 4, "0x7f.1.1.1", "ip"},
        {"duration: the base rule", Duration(true), 4, "1-сут 01:00", ""},
        {"duration: the base rule", Duration(true), 4, "", "empty"},
    };
    for (const ValidateCase& c : cases) {
        Bound b(c.make, Bytes(c.size));
        b.control.SetText(c.text);
        EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), Expected(c.message)) << c.name << ": \"" << c.text << '"';
    }
}

TEST_P(ExchangeKindsValidate, TheBindingRangeComesFirst)
{
    Bound b(WithFormat<WordExchangeInfo>("%u"), Bytes(2));
    SetBindingNameRange(b.binding.get(), "Du1", {0, 99999});
    b.control.SetText("70000");
    EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), "Значение параметра \"Du1\" выходит за диапазон 0...65535");
    b.control.SetText("100000");
    EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), "Значение параметра \"Du1\" выходит за диапазон 0...99999");
    b.control.SetText("abc");
    EXPECT_EQ(FailureText([&] { b.binding->Validate(); }), "Некоректное значение параметра \"Du1\"");
}

DAX_INSTANTIATE_UNDER_LOCALES(ExchangeKindsValidate);

// ---------------------------------------------------------------------------------------
// Show → store → show

struct RoundTripKind {
    const char* name;
    Make make;
    size_t size;
    ControlClass control = ControlClass::TEdit;
};

class ExchangeKindsRoundTrip : public testsupport::UnderLocale {};

TEST_P(ExchangeKindsRoundTrip, EveryValidTextComesBack)
{
    const std::vector<std::string> items = {"a", "b", "c", "d", "e"};
    const RoundTripKind kinds[] = {
        {"float %f", WithFormat<FloatExchangeInfo>("%f"), 4},
        {"float %g", WithFormat<FloatExchangeInfo>("%g"), 4},
        {"float %.5f", WithFormat<FloatExchangeInfo>("%.5f"), 4},
        {"float %.2f, comma", Separated(WithFormat<FloatExchangeInfo>("%.2f"), 1), 4},
        {"byte", WithFormat<BYTEExchangeInfo>("%u"), 2},
        {"word", WithFormat<WordExchangeInfo>("%u"), 2},
        {"short", WithFormat<ShortExchangeInfo>("%d"), 2},
        {"dword", WithFormat<DWordExchangeInfo>("%lu"), 4},
        {"dword %05u", WithFormat<DWordExchangeInfo>("%05u"), 4},
        {"long", WithFormat<LongExchangeInfo>("%ld"), 4},
        {"exact", WithFormat<ExactExchangeInfo>("%013.3f"), 8},
        {"exact, six decimals, comma", Separated(WithFormat<ExactExchangeInfo>("%016.6f"), 1), 8},
        {"temperature", Plain<TemperatureExchangeInfo>(), 2},
        {"pressure in MPa", Pressure(false), 2},
        {"pressure in kgf/cm², comma", Separated(Pressure(true), 1), 2},
        {"resistance", Plain<ResistanceExchangeInfo>(), 4},
        {"current", Plain<CurrentExchangeInfo>(), 2},
        {"ip", Plain<IpAddrExchangeInfo>(), 4},
        {"string", Text(8, false), 8},
        {"string, pair swap", Text(16, true), 16},
        {"combo", Plain<ComboBoxExchangeInfo>(), 2, ControlClass::TComboBox},
    };
    std::mt19937 random(20240229);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const RoundTripKind& kind : kinds) {
        int valid = 0;
        for (int round = 0; round < 1500; ++round) {
            Bytes field(kind.size);
            for (uint8_t& b : field)
                b = static_cast<uint8_t>(byte(random));
            if (kind.control == ControlClass::TComboBox)
                field[0] = 0, field[1] = static_cast<uint8_t>(field[1] % 8);
            Bound b(kind.make, field, kind.control, items);
            if (!FailureText([&] { b.binding->Show(); }).empty())
                continue;
            const std::string first = b.control.Text();
            const int32_t firstValue = b.control.Value();
            if (!FailureText([&] { b.binding->Validate(); }).empty())
                continue;
            ++valid;
            b.binding->Store();
            b.control.SetText("");
            b.control.SetUnknown();
            b.binding->Show();
            ASSERT_EQ(b.control.Text(), first) << kind.name << " field " << HexOf(field) << " → " << HexOf(b.field);
            ASSERT_EQ(b.control.Value(), firstValue) << kind.name;
        }
        EXPECT_GT(valid, 100) << kind.name << ": too few valid texts to say anything";
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(ExchangeKindsRoundTrip);

} // namespace
