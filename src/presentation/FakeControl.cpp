#include "FakeControl.h"

#include <cstdint>

#include "platform/DateTime.h"

namespace {

constexpr int32_t kMinutesPerDay = 24 * 60;
constexpr int32_t kFirstPickerYear = 2000;

} // namespace

const char* ControlClassName(ControlClass controlClass)
{
    switch (controlClass) {
    case ControlClass::TEdit:
        return "TEdit";
    case ControlClass::TComboBox:
        return "TComboBox";
    case ControlClass::TBitEditComboBox:
        return "TBitEditComboBox";
    case ControlClass::TCheckBox:
        return "TCheckBox";
    case ControlClass::TCSpinEdit:
        return "TCSpinEdit";
    case ControlClass::TProgressBar:
        return "TProgressBar";
    case ControlClass::TDateTimePicker:
        return "TDateTimePicker";
    case ControlClass::Other:
        break;
    }
    return "Other";
}

FakeControl::FakeControl(ControlClass controlClass, std::string componentName, std::vector<std::string> items)
    : class_(controlClass), name_(std::move(componentName)), items_(std::move(items))
{
    if (class_ == ControlClass::TComboBox)
        value_ = -1;
}

bool FakeControl::HasText() const
{
    return class_ == ControlClass::TEdit || class_ == ControlClass::TComboBox;
}

void FakeControl::RunChangeHandler()
{
    ++changes_;
    if (handler_)
        handler_();
}

std::string FakeControl::Text() const
{
    return HasText() ? text_ : std::string();
}

void FakeControl::SetText(const std::string& text)
{
    if (HasText())
        text_ = text;
}

void FakeControl::SetHint(const std::string& text, bool show)
{
    if (!HasText())
        return;
    hint_ = text;
    hintShown_ = show;
}

bool FakeControl::IsVisible() const
{
    if (class_ == ControlClass::TProgressBar || class_ == ControlClass::Other)
        return true;
    return visible_;
}

int32_t FakeControl::Value() const
{
    switch (class_) {
    case ControlClass::TCSpinEdit:
        // As a blank spin box reads: below the values it accepts.
        if (unknown_ && limits_ && limits_->Minimum > INT32_MIN)
            return limits_->Minimum - 1;
        return value_;
    case ControlClass::TComboBox:
    case ControlClass::TBitEditComboBox:
    case ControlClass::TCheckBox:
    case ControlClass::TProgressBar:
        return value_;
    case ControlClass::TDateTimePicker:
        return unknown_ ? -1 : time_.Hour * 60 + time_.Minute;
    case ControlClass::TEdit:
    case ControlClass::Other:
        break;
    }
    return 0;
}

bool FakeControl::SetValue(int32_t value)
{
    switch (class_) {
    case ControlClass::TComboBox: {
        const bool fits = value < static_cast<int32_t>(items_.size());
        value_ = value >= 0 && fits ? value : -1;
        text_ = value_ >= 0 ? items_[static_cast<size_t>(value_)] : std::string();
        RunChangeHandler();
        return fits;
    }
    case ControlClass::TBitEditComboBox:
        value_ = value;
        RunChangeHandler();
        return true;
    case ControlClass::TCheckBox:
        value_ = value != 0 ? 1 : 0;
        return true;
    case ControlClass::TCSpinEdit:
        if (limits_ && (value < limits_->Minimum || value > limits_->Maximum)) {
            unknown_ = true;
            return false;
        }
        unknown_ = false;
        value_ = value;
        return true;
    case ControlClass::TProgressBar:
        value_ = value;
        return true;
    case ControlClass::TDateTimePicker:
        if (value < 0 || value >= kMinutesPerDay) {
            unknown_ = true;
            return false;
        }
        return SetTime({value / 60, value % 60, 0});
    case ControlClass::TEdit:
    case ControlClass::Other:
        break;
    }
    return true;
}

int32_t FakeControl::ItemCount() const
{
    if (class_ == ControlClass::TComboBox || class_ == ControlClass::TBitEditComboBox)
        return static_cast<int32_t>(items_.size());
    return 0;
}

void FakeControl::SetFocus()
{
    switch (class_) {
    case ControlClass::TEdit:
    case ControlClass::TComboBox:
    case ControlClass::TCheckBox:
    case ControlClass::TCSpinEdit:
    case ControlClass::TDateTimePicker:
        if (visible_ && enabled_)
            focused_ = true;
        break;
    case ControlClass::TBitEditComboBox:
    case ControlClass::TProgressBar:
    case ControlClass::Other:
        break;
    }
}

std::optional<ControlDate> FakeControl::Date() const
{
    if (class_ != ControlClass::TDateTimePicker || unknown_)
        return std::nullopt;
    return date_;
}

bool FakeControl::SetDate(const ControlDate& date)
{
    if (class_ != ControlClass::TDateTimePicker)
        return false;
    DateTimeValue unused;
    if (date.Year < kFirstPickerYear || !TryEncodeDate(date.Year, date.Month, date.Day, unused)) {
        unknown_ = true;
        return false;
    }
    date_ = date;
    unknown_ = false;
    return true;
}

std::optional<ControlTime> FakeControl::Time() const
{
    if (class_ != ControlClass::TDateTimePicker || unknown_)
        return std::nullopt;
    return time_;
}

bool FakeControl::SetTime(const ControlTime& time)
{
    if (class_ != ControlClass::TDateTimePicker)
        return false;
    DateTimeValue unused;
    if (!TryEncodeTime(time.Hour, time.Minute, time.Second, 0, unused)) {
        unknown_ = true;
        return false;
    }
    time_ = time;
    unknown_ = false;
    return true;
}

void FakeControl::SetUnknown()
{
    if (class_ == ControlClass::TComboBox) {
        value_ = -1;
        text_.clear();
    } else if (class_ == ControlClass::TDateTimePicker || class_ == ControlClass::TCSpinEdit) {
        unknown_ = true;
    }
}

bool FakeControl::IsUnknown() const
{
    if (class_ == ControlClass::TComboBox)
        return value_ < 0;
    return (class_ == ControlClass::TDateTimePicker || class_ == ControlClass::TCSpinEdit) && unknown_;
}

std::optional<ControlLimits> FakeControl::Limits() const
{
    return class_ == ControlClass::TCSpinEdit ? limits_ : std::nullopt;
}

void FakeControl::SetItems(std::vector<std::string> items)
{
    items_ = std::move(items);
    if (class_ == ControlClass::TComboBox) {
        value_ = -1;
        text_.clear();
    }
}
