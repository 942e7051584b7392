#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The seam between a binding and the control that shows its value. A binding never sees a
// widget: it talks to a port, and each port answers as its control class does in the table
// below. The window side gives every bound widget a port (the Qt adapters); tests and tools
// use FakeControl.
//
//   class             text     text write, hint  visible   integer read        integer write        focus
//   TEdit             its text yes               own       0                   nothing              yes
//   TComboBox         its text yes               own       item index, -1 none item index, handler  yes
//   TBitEditComboBox  empty    nothing           own       bit flags           bit flags, handler   no
//   TCheckBox         empty    nothing           own       1 checked, else 0   checked when not 0   yes
//   TCSpinEdit        empty    nothing           own       its value           its value (limits)   yes
//   TProgressBar      empty    nothing           always    its position        its position         no
//   TDateTimePicker   empty    nothing           own       minutes of the day  minutes of the day   yes
//   Other             empty    nothing           always    0                   nothing              no
//
// Texts are UTF-8. Every port is used on the main thread only.

enum class ControlClass {
    TEdit,
    TComboBox,
    TBitEditComboBox,
    TCheckBox,
    TCSpinEdit,
    TProgressBar,
    TDateTimePicker,
    Other, // any class outside the table
};

// The class name as the forms name it ("TEdit", ...; "Other" for the rest).
const char* ControlClassName(ControlClass controlClass);

// Text colours, 0x00BBGGRR.
constexpr uint32_t kControlTextBlack = 0x000000;
constexpr uint32_t kControlTextRed = 0x0000FF;

struct ControlDate {
    int32_t Year = 2000;
    int32_t Month = 1;
    int32_t Day = 1;

    friend bool operator==(const ControlDate&, const ControlDate&) = default;
};

// The values a spin edit accepts, both ends included.
struct ControlLimits {
    int32_t Minimum = 0;
    int32_t Maximum = 0;

    friend bool operator==(const ControlLimits&, const ControlLimits&) = default;
};

struct ControlTime {
    int32_t Hour = 0;
    int32_t Minute = 0;
    int32_t Second = 0;

    friend bool operator==(const ControlTime&, const ControlTime&) = default;
};

class ControlPort {
public:
    virtual ~ControlPort() = default;

    virtual ControlClass Class() const = 0;
    // The control's component (object) name.
    virtual std::string ComponentName() const = 0;

    // TEdit and TComboBox only; the others read an empty text and ignore writes.
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // TEdit and TComboBox only: the hint text and whether it is shown.
    virtual void SetHint(const std::string& text, bool show) = 0;

    // False only for a hidden control of a class that has its own visibility. A control on a
    // page that is not shown at the moment is still visible.
    virtual bool IsVisible() const = 0;

    // The integer value of the table. An unknown combo or picker reads -1; what an unknown spin
    // edit reads is not a value it accepts.
    virtual int32_t Value() const = 0;
    // Sets the integer value of the table; false when the control cannot hold the value,
    // which then leaves the control unknown:
    //  - TComboBox: a negative value clears the selection; a value below ItemCount() selects
    //    that item; any other value fails. The change handler runs once afterwards, on
    //    failure too (the selection was cleared), even when the index did not change.
    //  - TBitEditComboBox: every bit is kept as given, named or not; the change handler runs
    //    once afterwards, even when the value did not change.
    //  - TDateTimePicker: minutes of the day, 0..1439 (value / 60 hours, value mod 60
    //    minutes, 0 seconds); any other value fails.
    //  - TCSpinEdit: a value outside its limits fails: the control never shows a value other
    //    than the one given.
    //  - the other classes never fail and never run the change handler.
    virtual bool SetValue(int32_t value) = 0;
    // Items of a TComboBox, bit names of a TBitEditComboBox; 0 for the others.
    virtual int32_t ItemCount() const = 0;
    // TCSpinEdit only (none for the others, and for a spin edit that accepts every value).
    virtual std::optional<ControlLimits> Limits() const = 0;

    // Gives the control the input focus (classes marked in the table). A hidden or disabled
    // control simply does not get it; this never fails.
    virtual void SetFocus() = 0;
    virtual void SetTextColor(uint32_t color) = 0;

    // TDateTimePicker only (none for the others and while the picker is unknown). A set
    // fails, leaving the picker unknown, for a date outside the calendar or a year before
    // 2000, and for a time outside 00:00:00..23:59:59.
    virtual std::optional<ControlDate> Date() const = 0;
    virtual bool SetDate(const ControlDate& date) = 0;
    virtual std::optional<ControlTime> Time() const = 0;
    virtual bool SetTime(const ControlTime& time) = 0;

    // The state of a control whose value could not be shown: a combo without selection, a
    // picker without date or time, a spin edit without a value. It ends when a value is set,
    // by the user or by code, through the port or straight into the control with its signals
    // blocked or not. Classes without such a state ignore SetUnknown and are never unknown.
    // SetUnknown runs no change handler.
    virtual void SetUnknown() = 0;
    virtual bool IsUnknown() const = 0;

    // The handler the page runs when the user changes the control; the port runs it after
    // integer writes as described at SetValue.
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
};
