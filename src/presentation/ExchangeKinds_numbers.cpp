// The numeric kinds: plain integers, floats, durations, exact counters and the scaled
// measurement kinds.
#include "ExchangeKinds.h"

#include "comm/Sysutil.h"
#include "device/Daxutil.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kInt16Min = std::numeric_limits<int16_t>::min();
constexpr double kInt16Max = std::numeric_limits<int16_t>::max();
constexpr double kUInt16Max = std::numeric_limits<uint16_t>::max();
constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();
constexpr double kUInt32Max = std::numeric_limits<uint32_t>::max();
constexpr double kFloatMax = std::numeric_limits<float>::max();

// Room for the longest fixed text of a float (39 integer digits, or 45 decimals, and a sign).
constexpr size_t kFixedFloatChars = 64;

// Double to single precision; a value beyond the float range becomes an infinity (instead
// of the undefined conversion), not-a-number stays not-a-number.
float NarrowToFloat(double value)
{
    if (value > kFloatMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kFloatMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// The shortest fixed-point text that reads back to the same float: 12.5, 3, 0.0000125.
std::string ShortestFixedText(float value)
{
    char buffer[kFixedFloatChars];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return FormatFloat("%f", value);
    return std::string(buffer, result.ptr);
}

} // namespace

// ---------------------------------------------------------------------------------------
// FloatExchangeInfo

FloatExchangeInfo::FloatExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 4);
}

void FloatExchangeInfo::Show()
{
    const float value = std::bit_cast<float>(ReadU32(field_));
    SetControlText(Format() == "%f" ? ShortestFixedText(value) : FormatFloat(Format(), value), true);
}

void FloatExchangeInfo::Store()
{
    WriteU32(field_, std::bit_cast<uint32_t>(NarrowToFloat(TextToFloat(GetControlText()))));
}

void FloatExchangeInfo::Validate()
{
    const double value = ValidateNumber(NumberSyntax::Real);
    if (!std::isfinite(NarrowToFloat(value)))
        FailRange(-kFloatMax, kFloatMax);
}

// ---------------------------------------------------------------------------------------
// Integers

namespace {

// The whole part of a typed integer (the store drops the fraction) must fit the field.
bool WholeFits(double value, double min, double max)
{
    const double whole = std::trunc(value);
    return whole >= min && whole <= max;
}

} // namespace

BYTEExchangeInfo::BYTEExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 2);
}

void BYTEExchangeInfo::Show()
{
    SetControlText(FormatBindingInt(Format(), ReadU16(field_) & 0xFF), true);
}

void BYTEExchangeInfo::Store()
{
    WriteU16(field_, static_cast<uint16_t>(TextToUInt(GetControlText()) & 0xFF));
}

void BYTEExchangeInfo::Validate()
{
    if (!WholeFits(ValidateNumber(NumberSyntax::Integer), 0, 255))
        FailRange(0, 255);
}

WordExchangeInfo::WordExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : AveragingExchangeInfo<uint16_t>(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 2);
}

void WordExchangeInfo::Show()
{
    SetControlText(FormatBindingInt(Format(), Average(ReadU16(field_))), true);
}

void WordExchangeInfo::Store()
{
    WriteU16(field_, static_cast<uint16_t>(TextToUInt(GetControlText())));
}

void WordExchangeInfo::Validate()
{
    if (!WholeFits(ValidateNumber(NumberSyntax::Integer), 0, kUInt16Max))
        FailRange(0, kUInt16Max);
}

ShortExchangeInfo::ShortExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 2);
}

void ShortExchangeInfo::Show()
{
    SetControlText(FormatBindingInt(Format(), static_cast<int16_t>(ReadU16(field_))), true);
}

void ShortExchangeInfo::Store()
{
    WriteU16(field_, static_cast<uint16_t>(TextToInt(GetControlText())));
}

void ShortExchangeInfo::Validate()
{
    if (!WholeFits(ValidateNumber(NumberSyntax::Integer), kInt16Min, kInt16Max))
        FailRange(kInt16Min, kInt16Max);
}

DWordExchangeInfo::DWordExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 4);
}

void DWordExchangeInfo::Show()
{
    SetControlText(FormatBindingInt(Format(), std::bit_cast<int32_t>(ReadU32(field_))), true);
}

void DWordExchangeInfo::Store()
{
    WriteU32(field_, TextToUInt(GetControlText()));
}

void DWordExchangeInfo::Validate()
{
    if (!WholeFits(ValidateNumber(NumberSyntax::Integer), 0, kUInt32Max))
        FailRange(0, kUInt32Max);
}

LongExchangeInfo::LongExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 4);
}

void LongExchangeInfo::Show()
{
    SetControlText(FormatBindingInt(Format(), std::bit_cast<int32_t>(ReadU32(field_))), true);
}

void LongExchangeInfo::Store()
{
    WriteU32(field_, std::bit_cast<uint32_t>(TextToInt(GetControlText())));
}

void LongExchangeInfo::Validate()
{
    if (!WholeFits(ValidateNumber(NumberSyntax::Integer), kInt32Min, kInt32Max))
        FailRange(kInt32Min, kInt32Max);
}

// ---------------------------------------------------------------------------------------
// TotalTimeExchangeInfo

TotalTimeExchangeInfo::TotalTimeExchangeInfo(std::span<uint8_t> field, ControlPort* control, bool days)
    : ExchangeInfo(control), field_(field), days_(days)
{
    CheckFieldSize(field, 4);
}

void TotalTimeExchangeInfo::Show()
{
    const uint32_t minutes = ReadU32(field_);
    SetControlText(days_ ? DurationToDaysText(minutes) : DurationToHoursText(minutes), false);
}

// ---------------------------------------------------------------------------------------
// ExactExchangeInfo

namespace {

// The typed value's integer part must fit the signed 32-bit field.
bool IntegerPartFits(double value)
{
    return value > kInt32Min - 1.0 && value < kInt32Max + 1.0;
}

} // namespace

ExactExchangeInfo::ExactExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format)
    : ExchangeInfo(control, std::move(format)), field_(field)
{
    CheckFieldSize(field, 8);
}

void ExactExchangeInfo::Show()
{
    const auto integer = std::bit_cast<int32_t>(ReadU32(field_.first(4)));
    const auto fraction = std::bit_cast<float>(ReadU32(field_.subspan(4, 4)));
    SetControlText(FormatFloat(Format(), integer + static_cast<double>(fraction)), true);
}

void ExactExchangeInfo::Store()
{
    const double value = TextToFloat(GetControlText());
    if (!IntegerPartFits(value))
        return;
    const auto integer = static_cast<int32_t>(std::trunc(value));
    const auto fraction = static_cast<float>(value - integer);
    WriteU32(field_.first(4), std::bit_cast<uint32_t>(integer));
    WriteU32(field_.subspan(4, 4), std::bit_cast<uint32_t>(fraction));
}

void ExactExchangeInfo::Validate()
{
    if (!IntegerPartFits(ValidateNumber(NumberSyntax::Real)))
        FailRange(kInt32Min, kInt32Max);
}

// ---------------------------------------------------------------------------------------
// Scaled kinds: the register holds the value times 100, 1000 or 10000. Validation checks
// the scaled value, rounded as the store rounds it, against what the register can hold.

namespace {

using ScaleFunction = int32_t (*)(double);

struct Scaling {
    ScaleFunction scale; // ScaleBy100/1000/10000
    double factor;       // 100, 1000, 10000
    double min;          // of the register
    double max;
};

constexpr Scaling kTemperatureScaling{ScaleBy100, 100, kInt16Min, kInt16Max};
constexpr Scaling kPressureMpaScaling{ScaleBy10000, 10000, kInt16Min, kInt16Max};
constexpr Scaling kPressureKgfScaling{ScaleBy1000, 1000, kInt16Min, kInt16Max};
// The resistance register is unsigned 32-bit, but the scaled value passes through int32.
constexpr Scaling kResistanceScaling{ScaleBy1000, 1000, 0, kInt32Max};
constexpr Scaling kCurrentScaling{ScaleBy1000, 1000, 0, kUInt16Max};

// The typed value as the store converts it: to single precision, then scaled.
int32_t ScaledText(const std::string& text, const Scaling& scaling)
{
    return scaling.scale(NarrowToFloat(TextToFloat(text)));
}

bool ScaledFits(double value, const Scaling& scaling)
{
    const int32_t scaled = scaling.scale(NarrowToFloat(value));
    // The helper saturates at the ends of the int32 range, so an end means the product did
    // not fit (no single-precision value scales to exactly either end).
    if (scaled == std::numeric_limits<int32_t>::max() || scaled == std::numeric_limits<int32_t>::min())
        return false;
    return scaled >= scaling.min && scaled <= scaling.max;
}

} // namespace

TemperatureExchangeInfo::TemperatureExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : AveragingExchangeInfo<float>(control, "%.2f"), field_(field)
{
    CheckFieldSize(field, 2);
}

void TemperatureExchangeInfo::Show()
{
    const auto value = static_cast<float>(static_cast<int16_t>(ReadU16(field_)) * 0.01);
    SetControlText(FormatFloat(Format(), Average(value)), true);
}

void TemperatureExchangeInfo::Store()
{
    WriteU16(field_, static_cast<uint16_t>(ScaledText(GetControlText(), kTemperatureScaling)));
}

void TemperatureExchangeInfo::Validate()
{
    const auto& s = kTemperatureScaling;
    if (!ScaledFits(ValidateNumber(NumberSyntax::Real), s))
        FailRange(s.min / s.factor, s.max / s.factor);
}

PressureExchangeInfo::PressureExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : AveragingExchangeInfo<float>(control), field_(field)
{
    CheckFieldSize(field, 2);
}

void PressureExchangeInfo::Show()
{
    const int16_t raw = static_cast<int16_t>(ReadU16(field_));
    const auto value = static_cast<float>(unitSwitch_ ? raw * 0.001 : raw * 0.0001);
    SetFormat(unitSwitch_ ? "%.3f" : "%.4f");
    SetControlText(FormatFloat(Format(), Average(value)), true);
}

void PressureExchangeInfo::Store()
{
    const Scaling& s = unitSwitch_ ? kPressureKgfScaling : kPressureMpaScaling;
    WriteU16(field_, static_cast<uint16_t>(ScaledText(GetControlText(), s)));
}

void PressureExchangeInfo::Validate()
{
    const Scaling& s = unitSwitch_ ? kPressureKgfScaling : kPressureMpaScaling;
    if (!ScaledFits(ValidateNumber(NumberSyntax::Real), s))
        FailRange(s.min / s.factor, s.max / s.factor);
}

ResistanceExchangeInfo::ResistanceExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : AveragingExchangeInfo<float>(control, "%.3f"), field_(field)
{
    CheckFieldSize(field, 4);
}

void ResistanceExchangeInfo::Show()
{
    const auto value = static_cast<float>(ReadU32(field_) * 0.001);
    SetControlText(FormatFloat(Format(), Average(value)), true);
}

void ResistanceExchangeInfo::Store()
{
    WriteU32(field_, static_cast<uint32_t>(ScaledText(GetControlText(), kResistanceScaling)));
}

void ResistanceExchangeInfo::Validate()
{
    const auto& s = kResistanceScaling;
    if (!ScaledFits(ValidateNumber(NumberSyntax::Real), s))
        FailRange(s.min / s.factor, s.max / s.factor);
}

CurrentExchangeInfo::CurrentExchangeInfo(std::span<uint8_t> field, ControlPort* control)
    : AveragingExchangeInfo<float>(control, "%.3f"), field_(field)
{
    CheckFieldSize(field, 2);
}

void CurrentExchangeInfo::Show()
{
    const auto value = static_cast<float>(ReadU16(field_) * 0.001);
    SetControlText(FormatFloat(Format(), Average(value)), true);
}

void CurrentExchangeInfo::Store()
{
    WriteU16(field_, static_cast<uint16_t>(ScaledText(GetControlText(), kCurrentScaling)));
}

void CurrentExchangeInfo::Validate()
{
    const auto& s = kCurrentScaling;
    if (!ScaledFits(ValidateNumber(NumberSyntax::Real), s))
        FailRange(s.min / s.factor, s.max / s.factor);
}
