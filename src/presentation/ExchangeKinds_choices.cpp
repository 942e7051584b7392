// The kinds that are not plain numbers: texts, addresses, choices, control values, dates,
// times and the page's own callbacks.
#include "ExchangeKinds.h"

#include "Texts.h"

#include "comm/Sysutil.h"
#include "device/Daxcore.h"
#include "platform/Cp1251.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <bit>
#include <optional>
#include <vector>

namespace texts = presentation;

// ---------------------------------------------------------------------------------------
// StringExchangeInfo

namespace {

void SwapPairs(std::span<uint8_t> bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
}

} // namespace

StringExchangeInfo::StringExchangeInfo(std::span<uint8_t> field, ControlPort* control, int32_t length, bool pairSwap)
    : ExchangeInfo(control), field_(field), length_(length), pairSwap_(pairSwap)
{
    CheckFieldSize(field, static_cast<size_t>(std::max(length, 0)));
}

void StringExchangeInfo::Show()
{
    std::vector<uint8_t> bytes(field_.begin(), field_.end());
    if (pairSwap_)
        SwapPairs(bytes);
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    SetControlText(platform::Cp1251ToUtf8(std::string(bytes.begin(), end)), false);
}

void StringExchangeInfo::Store()
{
    const std::optional<std::string> text = platform::TryUtf8ToCp1251(GetControlText());
    if (!text)
        return;
    std::vector<uint8_t> bytes(field_.size(), 0);
    if (!TextToFixedBuffer(*text, bytes))
        return;
    if (pairSwap_)
        SwapPairs(bytes);
    std::copy(bytes.begin(), bytes.end(), field_.begin());
}

void StringExchangeInfo::Validate()
{
    const std::optional<std::string> text = platform::TryUtf8ToCp1251(GetControlText());
    if (!text)
        Fail(texts::kValueIncorrectFormat);
    if (text->size() > field_.size())
        throw platform::Exception(FormatText(texts::kValueTooLongFormat, GetName().c_str(), length_));
}

// ---------------------------------------------------------------------------------------
// IpAddrExchangeInfo

namespace {

// The four octets, first to fourth, of a strict dotted quad; none for anything else.
std::optional<std::array<uint8_t, 4>> ParseDottedQuad(const std::string& text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    std::array<uint8_t, 4> octets;
    std::memcpy(octets.data(), &address.s_addr, octets.size());
    return octets;
}

} // namespace

IpAddrExchangeInfo::IpAddrExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : ExchangeInfo(control), field_(field)
{
    CheckFieldSize(field, 4);
}

void IpAddrExchangeInfo::Show()
{
    SetControlText(FormatText("%u.%u.%u.%u", field_[3], field_[2], field_[1], field_[0]), false);
}

void IpAddrExchangeInfo::Store()
{
    const auto octets = ParseDottedQuad(GetControlText());
    if (!octets)
        return;
    std::reverse_copy(octets->begin(), octets->end(), field_.begin());
}

void IpAddrExchangeInfo::Validate()
{
    if (!ParseDottedQuad(GetControlText()))
        Fail(texts::kIpAddressIncorrectFormat);
}

// ---------------------------------------------------------------------------------------
// Combo boxes

ComboBoxExchangeInfo::ComboBoxExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : ExchangeInfo(control), field_(field)
{
    CheckFieldSize(field, 2);
}

void ComboBoxExchangeInfo::Show()
{
    SetControlValue(ReadU16(field_));
}

void ComboBoxExchangeInfo::Store()
{
    const int32_t value = GetControlValue();
    if (value < 0 || IsControlUnknown())
        return;
    WriteU16(field_, static_cast<uint16_t>(value));
}

void ComboBoxExchangeInfo::Validate()
{
    if (GetControlValue() < 0)
        Fail(texts::kValueNotChosenFormat);
}

void ChanelStatusComboBoxExchangeInfo::Show()
{
    ComboBoxExchangeInfo::Show();
    if (Control() != nullptr)
        Control()->SetTextColor(GetControlValue() != 0 ? kControlTextRed : kControlTextBlack);
}

DaxSchemeComboBoxExchangeInfo::DaxSchemeComboBoxExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : ExchangeInfo(control), field_(field)
{
    CheckFieldSize(field, 2);
}

void DaxSchemeComboBoxExchangeInfo::Show()
{
    const uint16_t code = ReadU16(field_);
    if (std::find(SchemeCodes.begin(), SchemeCodes.end(), code) != SchemeCodes.end()) {
        SetControlValue(SchemeCodeToIndex(static_cast<uint8_t>(code)));
        return;
    }
    SetControlValue(-1);
    throw platform::Exception(FormatText(texts::kSchemeUnknownFormat, (code >> 4) & 0x0F, code & 0x0F));
}

void DaxSchemeComboBoxExchangeInfo::Store()
{
    const int32_t index = GetControlValue();
    if (index < 0 || index >= static_cast<int32_t>(SchemeCodes.size()) || IsControlUnknown())
        return;
    WriteU16(field_, SchemeCodes[static_cast<size_t>(index)]);
}

void DaxSchemeComboBoxExchangeInfo::Validate()
{
    if (GetControlValue() < 0)
        Fail(texts::kValueNotChosenFormat);
}

// ---------------------------------------------------------------------------------------
// ValueExchangeInfo

ValueExchangeInfo::ValueExchangeInfo(ValueKind kind, std::span<uint8_t> field, ControlPort* control)
    : ExchangeInfo(control), field_(field)
{
    SetValueKind(static_cast<int32_t>(kind));
    CheckFieldSize(field, kind == ValueKind::Long ? 4 : 2);
}

void ValueExchangeInfo::Show()
{
    switch (static_cast<ValueKind>(GetValueKind())) {
    case ValueKind::SignedByte:
        SetControlValue(static_cast<int8_t>(ReadU16(field_) & 0xFF));
        break;
    case ValueKind::UnsignedWord:
        SetControlValue(ReadU16(field_));
        break;
    case ValueKind::SignedWord:
        SetControlValue(static_cast<int16_t>(ReadU16(field_)));
        break;
    case ValueKind::Long:
        SetControlValue(std::bit_cast<int32_t>(ReadU32(field_)));
        break;
    }
}

void ValueExchangeInfo::Store()
{
    if (Control() == nullptr || IsControlUnknown())
        return;
    const int32_t value = GetControlValue();
    if (static_cast<ValueKind>(GetValueKind()) == ValueKind::Long)
        WriteU32(field_, std::bit_cast<uint32_t>(value));
    else
        WriteU16(field_, static_cast<uint16_t>(value));
}

void ValueExchangeInfo::Validate()
{
    if (Control() == nullptr || !IsControlUnknown())
        return;
    if (const std::optional<ControlLimits> limits = Control()->Limits())
        FailRange(limits->Minimum, limits->Maximum);
    Fail(texts::kValueIncorrectFormat);
}

// ---------------------------------------------------------------------------------------
// DateExchangeInfo and TimeExchangeInfo

namespace {

constexpr int32_t kYearBase = 2000;
constexpr int32_t kLastYear = 9999;

} // namespace

DateExchangeInfo::DateExchangeInfo(std::span<uint8_t> day, std::span<uint8_t> month, std::span<uint8_t> year,
                                   ControlPort* control)
    : ExchangeInfo(control), day_(day), month_(month), year_(year)
{
    CheckFieldSize(day, 2, true);
    CheckFieldSize(month, 2, true);
    CheckFieldSize(year, 2, true);
}

void DateExchangeInfo::Show()
{
    const ControlDate date{kYearBase + (year_.empty() ? 0 : ReadU16(year_)), month_.empty() ? 1 : ReadU16(month_),
                           day_.empty() ? 1 : ReadU16(day_)};
    DateTimeValue unused;
    const bool valid = TryEncodeDate(date.Year, date.Month, date.Day, unused);
    if (!valid) {
        if (Control() != nullptr)
            Control()->SetUnknown();
        Fail(texts::kDateTimeIncorrectFormat);
    }
    // A port that cannot hold the value leaves itself unknown.
    if (Control() != nullptr && !Control()->SetDate(date))
        Fail(texts::kDateTimeIncorrectFormat);
}

void DateExchangeInfo::Store()
{
    if (Control() == nullptr || IsControlUnknown())
        return;
    const std::optional<ControlDate> date = Control()->Date();
    if (!date)
        return;
    if (!day_.empty())
        WriteU16(day_, static_cast<uint16_t>(date->Day));
    if (!month_.empty())
        WriteU16(month_, static_cast<uint16_t>(date->Month));
    if (!year_.empty() && date->Year >= kYearBase && date->Year <= kLastYear)
        WriteU16(year_, static_cast<uint16_t>(date->Year - kYearBase));
}

void DateExchangeInfo::Validate()
{
    if (Control() == nullptr)
        return;
    const std::optional<ControlDate> date = Control()->Date();
    if (!date || IsControlUnknown())
        Fail(texts::kDateTimeIncorrectFormat);
    if (!year_.empty() && (date->Year < kYearBase || date->Year > kLastYear))
        FailRange(kYearBase, kLastYear);
}

TimeExchangeInfo::TimeExchangeInfo(std::span<uint8_t> hours, std::span<uint8_t> minutes, std::span<uint8_t> seconds,
                                   ControlPort* control)
    : ExchangeInfo(control), hours_(hours), minutes_(minutes), seconds_(seconds)
{
    CheckFieldSize(hours, 2, true);
    CheckFieldSize(minutes, 2, true);
    CheckFieldSize(seconds, 2, true);
}

void TimeExchangeInfo::Show()
{
    const ControlTime time{hours_.empty() ? 0 : ReadU16(hours_), minutes_.empty() ? 0 : ReadU16(minutes_),
                           seconds_.empty() ? 0 : ReadU16(seconds_)};
    DateTimeValue unused;
    const bool valid = TryEncodeTime(time.Hour, time.Minute, time.Second, 0, unused);
    if (!valid) {
        if (Control() != nullptr)
            Control()->SetUnknown();
        Fail(texts::kDateTimeIncorrectFormat);
    }
    // A port that cannot hold the value leaves itself unknown.
    if (Control() != nullptr && !Control()->SetTime(time))
        Fail(texts::kDateTimeIncorrectFormat);
}

void TimeExchangeInfo::Store()
{
    if (Control() == nullptr || IsControlUnknown())
        return;
    const std::optional<ControlTime> time = Control()->Time();
    if (!time)
        return;
    if (!hours_.empty())
        WriteU16(hours_, static_cast<uint16_t>(time->Hour));
    if (!minutes_.empty())
        WriteU16(minutes_, static_cast<uint16_t>(time->Minute));
    if (!seconds_.empty())
        WriteU16(seconds_, static_cast<uint16_t>(time->Second));
}

void TimeExchangeInfo::Validate()
{
    if (Control() == nullptr)
        return;
    if (!Control()->Time() || IsControlUnknown())
        Fail(texts::kDateTimeIncorrectFormat);
}

// ---------------------------------------------------------------------------------------
// DelegateExchangeInfo

DelegateExchangeInfo::DelegateExchangeInfo(std::function<void()> show, std::function<void()> store,
                                           std::function<void()> validate)
    : show_(std::move(show)), store_(std::move(store)), validate_(std::move(validate))
{
}

void DelegateExchangeInfo::Show()
{
    if (show_)
        show_();
}

void DelegateExchangeInfo::Store()
{
    if (store_)
        store_();
}

void DelegateExchangeInfo::Validate()
{
    if (validate_)
        validate_();
}
