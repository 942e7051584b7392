#pragma once

#include "ControlPort.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The allowed interval of a typed value, both ends included.
struct ExchangeRange {
    double Min = 0;
    double Max = 0;
};

// Type codes of the binding kinds (ExchangeInfo::GetType); 4 is not used.
namespace ExchangeTypeCode {
constexpr int32_t Base = 0;
constexpr int32_t Float = 1;
constexpr int32_t String = 2;
constexpr int32_t Byte = 3;
constexpr int32_t Word = 5;
constexpr int32_t Short = 6;
constexpr int32_t DWord = 7;
constexpr int32_t Long = 8;
constexpr int32_t TotalTime = 9;
constexpr int32_t Exact = 10;
constexpr int32_t IpAddr = 11;
constexpr int32_t Temperature = 12;
constexpr int32_t Pressure = 13;
constexpr int32_t Resistance = 14;
constexpr int32_t Current = 15;
constexpr int32_t ComboBox = 16; // also the scheme combo
constexpr int32_t ChanelStatusComboBox = 17;
constexpr int32_t Value = 18;
constexpr int32_t Date = 19;
constexpr int32_t Time = 20;
constexpr int32_t Delegate = 21;
} // namespace ExchangeTypeCode

// A binding: moves one field of a register image to one control (show), back (store), and
// checks the typed text before it is stored (validate). The kinds (ExchangeKinds.h) know
// their fields, big-endian spans into the caller's images; a binding never owns image
// memory and never owns its control. Main thread only; the caller holds the image lock
// around every pass.
//
// Failures are platform::Exception carrying the message in the system's words.
class ExchangeInfo {
public:
    explicit ExchangeInfo(ControlPort* control = nullptr, std::string format = {});
    virtual ~ExchangeInfo();
    ExchangeInfo(const ExchangeInfo&) = delete;
    ExchangeInfo& operator=(const ExchangeInfo&) = delete;

    // The six operations of every kind, in this order.
    virtual void Show();
    virtual void Store();
    // The base validation: the text must not be empty; with a range it must be a number
    // (sign, digits, one ',' or '.', an exponent) inside the range.
    virtual void Validate();
    virtual int32_t GetType() const;
    virtual void ResetAveraging();
    virtual void EnableAveraging(bool on);

    // The name for messages; the control's component name when the name is empty.
    std::string GetName() const;
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Format() const { return format_; }
    void SetFormat(std::string format) { format_ = std::move(format); }
    ControlPort* Control() const { return control_; }
    const std::optional<ExchangeRange>& Range() const { return range_; }
    void SetRange(ExchangeRange range) { range_ = range; }
    // Sub-kind of ValueExchangeInfo (1 to 4); 0 for every other kind.
    int32_t GetValueKind() const { return valueKind_; }

    // 1 comma, 2 point, anything else the system's decimal separator, which the caller
    // passes in (the binding never asks the C locale).
    void SetSeparatorMode(int32_t mode, char systemSeparator = '.');
    int32_t SeparatorMode() const { return separatorMode_; }
    // The character that SetSeparatorMode chose.
    char Separator() const;

    // Byte order of image fields: reverse the bytes of a 16-bit or 32-bit value in place.
    static void Swap16(uint16_t& value);
    static void Swap32(uint32_t& value);

    // Access to the control through the table of ControlPort.h; without a control reads give
    // nothing, writes do nothing and the control counts as visible.
    std::string GetControlText() const;
    // With the switch on, every decimal separator of the text becomes the binding's.
    void SetControlText(std::string text, bool withSeparator);
    void SetControlHint(const std::string& text, bool show);
    bool IsControlVisible() const;
    int32_t GetControlValue() const;
    // A combo value not below the item count (or a picker value that is no time of day)
    // fails with "Некоректное значение параметра" and leaves the control unknown.
    void SetControlValue(int32_t value);
    void FocusControl();
    // True while the control is in its unknown state (ControlPort::IsUnknown).
    bool IsControlUnknown() const;

protected:
    void SetValueKind(int32_t kind) { valueKind_ = kind; }

    // How a kind's numbers are typed: integers are sign, digits and an optional fraction
    // after ',' or '.' (which the store drops); reals may carry an exponent as "%g" shows it.
    enum class NumberSyntax { Integer, Real };
    static bool IsNumberText(std::string_view text, NumberSyntax syntax);

    // The validation of a kind that stores a number read from its text: not empty, wholly a
    // number, inside the range when there is one. Returns the number.
    double ValidateNumber(NumberSyntax syntax) const;
    // Fails with the range message naming the interval.
    [[noreturn]] void FailRange(double min, double max) const;
    // Throws platform::Exception with the message: the text format filled with the name.
    [[noreturn]] void Fail(const char* textFormat) const;

    // Checks at construction that a field has the size its kind needs (empty allowed when
    // the field is optional).
    void CheckFieldSize(std::span<uint8_t> field, size_t size, bool optional = false) const;

    // Big-endian register access.
    static uint16_t ReadU16(std::span<const uint8_t> field);
    static uint32_t ReadU32(std::span<const uint8_t> field);
    static void WriteU16(std::span<uint8_t> field, uint16_t value);
    static void WriteU32(std::span<uint8_t> field, uint32_t value);

private:
    std::string name_;                  // parameter name in messages
    std::string format_;                // printf format of the shown value
    ControlPort* control_;              // not owned; may be absent
    std::optional<ExchangeRange> range_;
    int32_t separatorMode_ = 0;
    char systemSeparator_ = '.';
    int32_t valueKind_ = 0;
};

// Formats a 32-bit integer with a binding's format. Every value a binding shows is 32-bit, so
// a 'l' length modifier ("%lu", "%ld") is dropped rather than read as a 64-bit argument; a
// format holding anything but one integer conversion gives an empty text.
std::string FormatBindingInt(std::string_view format, int32_t value);

// Set-up functions of the binding tables, used on what ExchangeInfoContainer::Add returns.
void SetBindingName(ExchangeInfo* binding, std::string name);
void SetBindingNameRange(ExchangeInfo* binding, std::string name, ExchangeRange range);
