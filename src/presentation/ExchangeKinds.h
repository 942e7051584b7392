#pragma once

#include "AveragingExchangeInfo.h"
#include "ExchangeInfo.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The binding kinds: one per way the instrument codes a value in its registers. Every field
// is a span into a caller's image holding big-endian registers (a 32-bit value high word
// first); its size is checked at construction (platform::Exception on a mismatch). Numeric
// texts are shown with the binding's decimal separator and typed with ',' or '.'.
//
// Common rules beyond the individual kinds:
//  - validation accepts only text that is wholly a number, and only values the field (and,
//    for scaled kinds, the 32-bit scaled value) can hold; the range message names that
//    interval;
//  - a control left unknown by a failed show is never stored.

// 32-bit IEEE single. The format "%f" shows the shortest fixed text that reads back to the
// same single-precision value; any other format is used as it stands.
class FloatExchangeInfo : public ExchangeInfo {
public:
    FloatExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Float; }

private:
    std::span<uint8_t> field_;
};

// `length` bytes of Windows-1251 text, zero-padded; with pair swap each byte pair is
// exchanged (an odd last byte stays). Validation counts the length in Windows-1251 bytes
// and refuses characters the code page lacks.
class StringExchangeInfo : public ExchangeInfo {
public:
    StringExchangeInfo(std::span<uint8_t> field, ControlPort* control, int32_t length, bool pairSwap);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::String; }

    int32_t Length() const { return length_; }
    bool PairSwap() const { return pairSwap_; }

private:
    std::span<uint8_t> field_;
    int32_t length_;
    bool pairSwap_;
};

// The low byte of one register, unsigned; the store clears the high byte.
class BYTEExchangeInfo : public ExchangeInfo {
public:
    BYTEExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Byte; }

private:
    std::span<uint8_t> field_;
};

// Unsigned 16-bit, averaging.
class WordExchangeInfo : public AveragingExchangeInfo<uint16_t> {
public:
    WordExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Word; }

private:
    std::span<uint8_t> field_;
};

// Signed 16-bit.
class ShortExchangeInfo : public ExchangeInfo {
public:
    ShortExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Short; }

private:
    std::span<uint8_t> field_;
};

// Unsigned 32-bit. A "%lu" format is read as "%u": the value is 32-bit.
class DWordExchangeInfo : public ExchangeInfo {
public:
    DWordExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::DWord; }

private:
    std::span<uint8_t> field_;
};

// Signed 32-bit. A "%ld" format is read as "%d".
class LongExchangeInfo : public ExchangeInfo {
public:
    LongExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Long; }

private:
    std::span<uint8_t> field_;
};

// Unsigned 32-bit minutes, shown as a duration; read only (the store writes nothing).
class TotalTimeExchangeInfo : public ExchangeInfo {
public:
    TotalTimeExchangeInfo(std::span<uint8_t> field, ControlPort* control, bool days);
    void Show() override;
    int32_t GetType() const override { return ExchangeTypeCode::TotalTime; }

    // On: "<d>-сут hh:mm"; off: "hh:mm".
    void SetDaysSwitch(bool days) { days_ = days; }
    bool DaysSwitch() const { return days_; }

private:
    std::span<uint8_t> field_;
    bool days_;
};

// An exact counter, 8 bytes: signed 32-bit integer part, then a single-precision fraction.
class ExactExchangeInfo : public ExchangeInfo {
public:
    ExactExchangeInfo(std::span<uint8_t> field, ControlPort* control, std::string format);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Exact; }

private:
    std::span<uint8_t> field_;
};

// An IPv4 address; the four field bytes are the fourth, third, second and first octet.
// Only a dotted quad of decimal numbers is accepted; no name is ever looked up.
class IpAddrExchangeInfo : public ExchangeInfo {
public:
    IpAddrExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::IpAddr; }

private:
    std::span<uint8_t> field_;
};

// Signed 16-bit hundredths of a degree, "%.2f", averaging.
class TemperatureExchangeInfo : public AveragingExchangeInfo<float> {
public:
    TemperatureExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Temperature; }

private:
    std::span<uint8_t> field_;
};

// Signed 16-bit pressure: unit switch off (the default) 0.0001 MPa shown "%.4f", on 0.001
// kgf/cm² shown "%.3f" (each show sets the format); averaging.
class PressureExchangeInfo : public AveragingExchangeInfo<float> {
public:
    PressureExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Pressure; }

    void SetUnitSwitch(bool kgf) { unitSwitch_ = kgf; }
    bool UnitSwitch() const { return unitSwitch_; }

private:
    std::span<uint8_t> field_;
    bool unitSwitch_ = false;
};

// Unsigned 32-bit thousandths of an ohm, "%.3f", averaging.
class ResistanceExchangeInfo : public AveragingExchangeInfo<float> {
public:
    ResistanceExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Resistance; }

private:
    std::span<uint8_t> field_;
};

// Unsigned 16-bit thousandths of a milliampere, "%.3f", averaging.
class CurrentExchangeInfo : public AveragingExchangeInfo<float> {
public:
    CurrentExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Current; }

private:
    std::span<uint8_t> field_;
};

// Unsigned 16-bit item index of a combo box. A register beyond the list fails to show and
// leaves the combo without selection; no selection stores nothing and fails validation.
class ComboBoxExchangeInfo : public ExchangeInfo {
public:
    ComboBoxExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::ComboBox; }

protected:
    std::span<uint8_t> field_;
};

// A channel status: as the combo, then red text for any item but the first.
class ChanelStatusComboBoxExchangeInfo : public ComboBoxExchangeInfo {
public:
    using ComboBoxExchangeInfo::ComboBoxExchangeInfo;
    void Show() override;
    int32_t GetType() const override { return ExchangeTypeCode::ChanelStatusComboBox; }
};

// A heat-system scheme code; the combo lists the schemes in the order of SchemeCodes.
class DaxSchemeComboBoxExchangeInfo : public ExchangeInfo {
public:
    DaxSchemeComboBoxExchangeInfo(std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::ComboBox; }

private:
    std::span<uint8_t> field_;
};

// The integer value of a control (spin edit, check box, bit-mask editor, combo box, progress
// bar, time picker in minutes of the day).
enum class ValueKind : int32_t {
    SignedByte = 1,   // the low byte of a register, signed; a 2-byte field
    UnsignedWord = 2, // a 2-byte field
    SignedWord = 3,   // a 2-byte field
    Long = 4,         // signed 32-bit, a 4-byte field
};

class ValueExchangeInfo : public ExchangeInfo {
public:
    ValueExchangeInfo(ValueKind kind, std::span<uint8_t> field, ControlPort* control);
    void Show() override;
    void Store() override;
    // The control itself holds an integer; one that could not show the register's value (a
    // spin edit whose limits it lies outside) fails with the range message of its limits
    // until the user chooses a value.
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Value; }

private:
    std::span<uint8_t> field_;
};

// Day, month and year − 2000, each an unsigned 16-bit register; any of them may be absent
// (an empty span): day and month then count as 1, the year as 2000.
class DateExchangeInfo : public ExchangeInfo {
public:
    DateExchangeInfo(std::span<uint8_t> day, std::span<uint8_t> month, std::span<uint8_t> year, ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Date; }

private:
    std::span<uint8_t> day_;
    std::span<uint8_t> month_;
    std::span<uint8_t> year_;
};

// Hours, minutes and seconds, each an unsigned 16-bit register; absent ones count as 0.
class TimeExchangeInfo : public ExchangeInfo {
public:
    TimeExchangeInfo(std::span<uint8_t> hours, std::span<uint8_t> minutes, std::span<uint8_t> seconds,
                     ControlPort* control);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Time; }

private:
    std::span<uint8_t> hours_;
    std::span<uint8_t> minutes_;
    std::span<uint8_t> seconds_;
};

// Three callbacks of the page, each optional; what the validate callback throws is the
// binding's failure.
class DelegateExchangeInfo : public ExchangeInfo {
public:
    DelegateExchangeInfo(std::function<void()> show, std::function<void()> store, std::function<void()> validate);
    void Show() override;
    void Store() override;
    void Validate() override;
    int32_t GetType() const override { return ExchangeTypeCode::Delegate; }

private:
    std::function<void()> show_;
    std::function<void()> store_;
    std::function<void()> validate_;
};
