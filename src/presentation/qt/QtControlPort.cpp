#include "QtControlPort.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

constexpr int32_t kMinutesPerDay = 24 * 60;
constexpr int32_t kFirstPickerYear = 2000;

// What every port shares: the widget (watched, so that a destroyed widget is never touched),
// the change handler, and the answers of a class without text, value or focus.
class WidgetPort : public ControlPort {
public:
    WidgetPort(QWidget* widget, ControlClass controlClass) : widget_(widget), class_(controlClass) {}

    ControlClass Class() const override { return class_; }
    std::string ComponentName() const override { return widget_ ? widget_->objectName().toStdString() : std::string(); }
    std::string Text() const override { return {}; }
    void SetText(const std::string&) override {}
    void SetHint(const std::string&, bool) override {}
    // A page not shown at the moment hides its controls from isVisible(), but they are still
    // part of the page: only a control hidden itself counts as invisible.
    bool IsVisible() const override { return !widget_ || !widget_->isHidden(); }
    int32_t Value() const override { return 0; }
    bool SetValue(int32_t) override { return true; }
    int32_t ItemCount() const override { return 0; }
    std::optional<ControlLimits> Limits() const override { return std::nullopt; }
    void SetFocus() override {}
    void SetTextColor(uint32_t) override {}
    std::optional<ControlDate> Date() const override { return std::nullopt; }
    bool SetDate(const ControlDate&) override { return false; }
    std::optional<ControlTime> Time() const override { return std::nullopt; }
    bool SetTime(const ControlTime&) override { return false; }
    void SetUnknown() override {}
    bool IsUnknown() const override { return false; }
    void SetChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

protected:
    template <typename Widget>
    Widget* As() const
    {
        return static_cast<Widget*>(widget_.data());
    }

    void RunChangeHandler()
    {
        if (handler_)
            handler_();
    }

    // A hidden or disabled control does not take the focus.
    void FocusWidget()
    {
        if (widget_ && !widget_->isHidden() && widget_->isEnabled())
            widget_->setFocus(Qt::OtherFocusReason);
    }

    void SetToolTip(const std::string& text, bool show)
    {
        if (widget_)
            widget_->setToolTip(show ? QString::fromStdString(text) : QString());
    }

    // Some styles draw combo and edit texts without looking at the palette; a style sheet
    // colours them everywhere. Black is the style's own colour.
    void SetStyleTextColor(const char* styleClass, uint32_t color)
    {
        if (!widget_)
            return;
        if (color == kControlTextBlack) {
            widget_->setStyleSheet(QString());
            return;
        }
        const QColor rgb(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                         static_cast<int>(color >> 16 & 0xFF));
        widget_->setStyleSheet(QStringLiteral("%1 { color: %2; }").arg(QLatin1String(styleClass), rgb.name()));
    }

    QPointer<QWidget> widget_;

private:
    ControlClass class_;
    std::function<void()> handler_;
};

// Progress bars and classes outside the table are always visible.
class AlwaysVisiblePort : public WidgetPort {
public:
    using WidgetPort::WidgetPort;
    bool IsVisible() const override { return true; }
};

class EditPort : public WidgetPort {
public:
    explicit EditPort(QLineEdit* edit) : WidgetPort(edit, ControlClass::TEdit) {}

    std::string Text() const override { return widget_ ? As<QLineEdit>()->text().toStdString() : std::string(); }
    void SetText(const std::string& text) override
    {
        if (widget_)
            As<QLineEdit>()->setText(QString::fromStdString(text));
    }
    void SetHint(const std::string& text, bool show) override { SetToolTip(text, show); }
    void SetFocus() override { FocusWidget(); }
    void SetTextColor(uint32_t color) override { SetStyleTextColor("QLineEdit", color); }
};

// The combo's selection is its value; no selection is its unknown state. Its change handler
// runs after every integer write, also when the index stays (QComboBox itself signals
// nothing then, and `activated` only for the user).
class ComboPort : public WidgetPort {
public:
    explicit ComboPort(QComboBox* combo) : WidgetPort(combo, ControlClass::TComboBox) {}

    std::string Text() const override { return widget_ ? Combo()->currentText().toStdString() : std::string(); }
    void SetText(const std::string& text) override
    {
        if (!widget_)
            return;
        if (Combo()->isEditable())
            Combo()->setEditText(QString::fromStdString(text));
        else
            Combo()->setCurrentText(QString::fromStdString(text));
    }
    void SetHint(const std::string& text, bool show) override { SetToolTip(text, show); }
    int32_t Value() const override { return widget_ ? Combo()->currentIndex() : -1; }
    bool SetValue(int32_t value) override
    {
        if (!widget_)
            return false;
        const bool fits = value < Combo()->count();
        if (value >= 0 && fits)
            Combo()->setCurrentIndex(value);
        else
            Clear();
        RunChangeHandler();
        return fits;
    }
    int32_t ItemCount() const override { return widget_ ? Combo()->count() : 0; }
    void SetFocus() override { FocusWidget(); }
    void SetTextColor(uint32_t color) override { SetStyleTextColor("QComboBox", color); }
    void SetUnknown() override
    {
        if (widget_)
            Clear();
    }
    bool IsUnknown() const override { return Value() < 0; }

private:
    QComboBox* Combo() const { return As<QComboBox>(); }
    void Clear()
    {
        Combo()->setCurrentIndex(-1);
        if (Combo()->isEditable())
            Combo()->setEditText(QString());
    }
};

// The value is the whole stored bit set: bits the editor does not name stay as the
// instrument sent them, so storing the value back does not clear them.
class BitEditPort : public WidgetPort {
public:
    explicit BitEditPort(TBitEditComboBox* edit) : WidgetPort(edit, ControlClass::TBitEditComboBox) {}

    int32_t Value() const override
    {
        return widget_ ? static_cast<int32_t>(As<TBitEditComboBox>()->StoredBitFlags()) : 0;
    }
    bool SetValue(int32_t value) override
    {
        if (!widget_)
            return false;
        {
            // The handler runs once below; the editor's own change signal would run it twice.
            const QSignalBlocker quiet(widget_);
            As<TBitEditComboBox>()->SetBitFlags(static_cast<uint32_t>(value));
        }
        RunChangeHandler();
        return true;
    }
    int32_t ItemCount() const override { return widget_ ? As<TBitEditComboBox>()->ItemCount() : 0; }
};

class CheckPort : public WidgetPort {
public:
    explicit CheckPort(QCheckBox* check) : WidgetPort(check, ControlClass::TCheckBox) {}

    int32_t Value() const override { return widget_ && As<QCheckBox>()->isChecked() ? 1 : 0; }
    bool SetValue(int32_t value) override
    {
        if (widget_)
            As<QCheckBox>()->setChecked(value != 0);
        return true;
    }
    void SetFocus() override { FocusWidget(); }
};

// A value outside the spin box's range is not clamped into it (the next store would write the
// clamped value without a word): the spin box is left blank, unknown, until a value is set.
class SpinPort : public WidgetPort {
public:
    explicit SpinPort(QSpinBox* spin) : WidgetPort(spin, ControlClass::TCSpinEdit)
    {
        changed_ = QObject::connect(spin, &QSpinBox::valueChanged, spin, [this] {
            if (!settingValue_ && widget_)
                SettleBlank(As<QSpinBox>());
        });
    }
    ~SpinPort() override { QObject::disconnect(changed_); }

    int32_t Value() const override { return widget_ ? As<QSpinBox>()->value() : 0; }
    bool SetValue(int32_t value) override
    {
        if (!widget_)
            return false;
        settingValue_ = true;
        const bool fits = SetSpinValue(As<QSpinBox>(), value);
        settingValue_ = false;
        return fits;
    }
    std::optional<ControlLimits> Limits() const override
    {
        if (!widget_)
            return std::nullopt;
        int minimum = 0;
        int maximum = 0;
        SpinLimits(As<QSpinBox>(), minimum, maximum);
        return ControlLimits{minimum, maximum};
    }
    void SetFocus() override { FocusWidget(); }
    void SetUnknown() override
    {
        if (!widget_)
            return;
        settingValue_ = true;
        ShowBlank(As<QSpinBox>());
        settingValue_ = false;
    }
    bool IsUnknown() const override { return widget_ && IsBlank(As<QSpinBox>()); }

private:
    bool settingValue_ = false; // the port itself is changing the spin box
    QMetaObject::Connection changed_;
};

class ProgressPort : public AlwaysVisiblePort {
public:
    explicit ProgressPort(QProgressBar* bar) : AlwaysVisiblePort(bar, ControlClass::TProgressBar) {}

    int32_t Value() const override { return widget_ ? As<QProgressBar>()->value() : 0; }
    bool SetValue(int32_t value) override
    {
        if (widget_)
            As<QProgressBar>()->setValue(value);
        return true;
    }
};

// A date or time picker. Without a value it is blank (ShowBlank): it stands at its minimum with
// a blank special text, until a value is set from code (through the port or straight into the
// picker, its signals blocked or not) or the user changes it. The state is the picker's own,
// so no way of setting it can leave the port behind.
class PickerPort : public WidgetPort {
public:
    explicit PickerPort(QDateTimeEdit* picker) : WidgetPort(picker, ControlClass::TDateTimePicker)
    {
        // Universal time has no missing or doubled local hours.
        picker->setTimeSpec(Qt::UTC);
        changed_ = QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, picker, [this] {
            if (!settingValue_ && widget_)
                SettleBlank(Picker());
        });
    }
    ~PickerPort() override { QObject::disconnect(changed_); }

    bool IsUnknown() const override { return widget_ && IsBlank(Picker()); }
    int32_t Value() const override
    {
        const std::optional<ControlTime> time = Time();
        return time ? time->Hour * 60 + time->Minute : -1;
    }
    bool SetValue(int32_t value) override
    {
        if (value < 0 || value >= kMinutesPerDay) {
            SetUnknown();
            return false;
        }
        return SetTime({value / 60, value % 60, 0});
    }
    void SetFocus() override { FocusWidget(); }

    std::optional<ControlDate> Date() const override
    {
        if (!widget_ || IsUnknown())
            return std::nullopt;
        const QDate date = Picker()->date();
        return ControlDate{date.year(), date.month(), date.day()};
    }
    bool SetDate(const ControlDate& date) override
    {
        if (!widget_)
            return false;
        if (date.Year < kFirstPickerYear || !QDate::isValid(date.Year, date.Month, date.Day)) {
            SetUnknown();
            return false;
        }
        Show(QDateTime(QDate(date.Year, date.Month, date.Day), Picker()->time(), Qt::UTC));
        return true;
    }
    std::optional<ControlTime> Time() const override
    {
        if (!widget_ || IsUnknown())
            return std::nullopt;
        const QTime time = Picker()->time();
        return ControlTime{time.hour(), time.minute(), time.second()};
    }
    bool SetTime(const ControlTime& time) override
    {
        if (!widget_)
            return false;
        if (!QTime::isValid(time.Hour, time.Minute, time.Second)) {
            SetUnknown();
            return false;
        }
        Show(QDateTime(Picker()->date(), QTime(time.Hour, time.Minute, time.Second), Qt::UTC));
        return true;
    }
    void SetUnknown() override
    {
        if (!widget_)
            return;
        settingValue_ = true;
        ShowBlank(Picker());
        settingValue_ = false;
    }

private:
    QDateTimeEdit* Picker() const { return As<QDateTimeEdit>(); }
    void Show(const QDateTime& value)
    {
        settingValue_ = true;
        SetPickerDateTime(Picker(), value);
        settingValue_ = false;
    }

    bool settingValue_ = false; // the port itself is changing the picker
    QMetaObject::Connection changed_;
};

} // namespace

std::unique_ptr<ControlPort> makePort(QWidget* widget)
{
    if (widget == nullptr)
        return nullptr;
    if (auto* bits = qobject_cast<TBitEditComboBox*>(widget))
        return std::make_unique<BitEditPort>(bits);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return std::make_unique<EditPort>(edit);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return std::make_unique<ComboPort>(combo);
    if (auto* check = qobject_cast<QCheckBox*>(widget))
        return std::make_unique<CheckPort>(check);
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        return std::make_unique<SpinPort>(spin);
    if (auto* bar = qobject_cast<QProgressBar*>(widget))
        return std::make_unique<ProgressPort>(bar);
    if (auto* picker = qobject_cast<QDateTimeEdit*>(widget))
        return std::make_unique<PickerPort>(picker);
    return std::make_unique<AlwaysVisiblePort>(widget, ControlClass::Other);
}
