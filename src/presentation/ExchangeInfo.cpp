#include "ExchangeInfo.h"

#include "Texts.h"

#include "comm/Sysutil.h"
#include "platform/Exceptions.h"

#include <bit>
#include <cstring>

namespace texts = presentation;

ExchangeInfo::ExchangeInfo(ControlPort* control, std::string format) : format_(std::move(format)), control_(control) {}

ExchangeInfo::~ExchangeInfo() = default;

void ExchangeInfo::Show() {}

void ExchangeInfo::Store() {}

void ExchangeInfo::Validate()
{
    if (GetControlText().empty())
        Fail(texts::kValueEmptyFormat);
    if (range_)
        ValidateNumber(NumberSyntax::Real);
}

int32_t ExchangeInfo::GetType() const
{
    return ExchangeTypeCode::Base;
}

void ExchangeInfo::ResetAveraging() {}

void ExchangeInfo::EnableAveraging(bool) {}

std::string ExchangeInfo::GetName() const
{
    if (!name_.empty() || control_ == nullptr)
        return name_;
    return control_->ComponentName();
}

void ExchangeInfo::SetSeparatorMode(int32_t mode, char systemSeparator)
{
    separatorMode_ = mode;
    systemSeparator_ = systemSeparator;
}

char ExchangeInfo::Separator() const
{
    switch (separatorMode_) {
    case 1:
        return ',';
    case 2:
        return '.';
    default:
        return systemSeparator_;
    }
}

void ExchangeInfo::Swap16(uint16_t& value)
{
    value = static_cast<uint16_t>((value >> 8) | (value << 8));
}

void ExchangeInfo::Swap32(uint32_t& value)
{
    value = (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

std::string ExchangeInfo::GetControlText() const
{
    return control_ ? control_->Text() : std::string();
}

void ExchangeInfo::SetControlText(std::string text, bool withSeparator)
{
    if (withSeparator)
        SwapDecimalSeparator(text, Separator());
    if (control_)
        control_->SetText(text);
}

void ExchangeInfo::SetControlHint(const std::string& text, bool show)
{
    if (control_)
        control_->SetHint(text, show);
}

bool ExchangeInfo::IsControlVisible() const
{
    return control_ == nullptr || control_->IsVisible();
}

int32_t ExchangeInfo::GetControlValue() const
{
    return control_ ? control_->Value() : 0;
}

void ExchangeInfo::SetControlValue(int32_t value)
{
    if (control_ && !control_->SetValue(value))
        Fail(texts::kValueIncorrectFormat);
}

void ExchangeInfo::FocusControl()
{
    if (control_)
        control_->SetFocus();
}

bool ExchangeInfo::IsControlUnknown() const
{
    return control_ != nullptr && control_->IsUnknown();
}

bool ExchangeInfo::IsNumberText(std::string_view text, NumberSyntax syntax)
{
    size_t pos = 0;
    const auto digits = [&] {
        const size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        return pos - start;
    };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    size_t mantissa = digits();
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        ++pos;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (syntax == NumberSyntax::Real && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        if (digits() == 0)
            return false;
    }
    return pos == text.size();
}

double ExchangeInfo::ValidateNumber(NumberSyntax syntax) const
{
    const std::string text = GetControlText();
    if (text.empty())
        Fail(texts::kValueEmptyFormat);
    if (!IsNumberText(text, syntax))
        Fail(texts::kValueIncorrectFormat);
    const double value = TextToFloat(text);
    if (range_ && !(value >= range_->Min && value <= range_->Max))
        FailRange(range_->Min, range_->Max);
    return value;
}

void ExchangeInfo::FailRange(double min, double max) const
{
    throw platform::Exception(FormatText(texts::kValueOutOfRangeFormat, GetName().c_str(), min, max));
}

void ExchangeInfo::Fail(const char* textFormat) const
{
    throw platform::Exception(FormatText(textFormat, GetName().c_str()));
}

void ExchangeInfo::CheckFieldSize(std::span<uint8_t> field, size_t size, bool optional) const
{
    if (field.size() == size || (optional && field.empty()))
        return;
    throw platform::Exception(FormatText(texts::kFieldSizeFormat, GetName().c_str(), field.size(), size));
}

uint16_t ExchangeInfo::ReadU16(std::span<const uint8_t> field)
{
    uint16_t value;
    std::memcpy(&value, field.data(), sizeof value);
    if constexpr (std::endian::native == std::endian::little)
        Swap16(value);
    return value;
}

uint32_t ExchangeInfo::ReadU32(std::span<const uint8_t> field)
{
    uint32_t value;
    std::memcpy(&value, field.data(), sizeof value);
    if constexpr (std::endian::native == std::endian::little)
        Swap32(value);
    return value;
}

void ExchangeInfo::WriteU16(std::span<uint8_t> field, uint16_t value)
{
    if constexpr (std::endian::native == std::endian::little)
        Swap16(value);
    std::memcpy(field.data(), &value, sizeof value);
}

void ExchangeInfo::WriteU32(std::span<uint8_t> field, uint32_t value)
{
    if constexpr (std::endian::native == std::endian::little)
        Swap32(value);
    std::memcpy(field.data(), &value, sizeof value);
}

std::string FormatBindingInt(std::string_view format, int32_t value)
{
    std::string plain;
    plain.reserve(format.size());
    for (size_t i = 0; i < format.size(); ++i) {
        plain += format[i];
        if (format[i] != '%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            plain += format[++i];
            continue;
        }
        while (i + 1 < format.size() && std::string_view("-+ #0123456789.").find(format[i + 1]) != std::string_view::npos)
            plain += format[++i];
        while (i + 1 < format.size() && format[i + 1] == 'l')
            ++i;
    }
    return FormatInt(plain, value);
}

void SetBindingName(ExchangeInfo* binding, std::string name)
{
    binding->SetName(std::move(name));
}

void SetBindingNameRange(ExchangeInfo* binding, std::string name, ExchangeRange range)
{
    binding->SetName(std::move(name));
    binding->SetRange(range);
}
