#include "ControlHelpers.h"

#include "comm/Sysutil.h"

#include <climits>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

QString ControlText(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control))
        return spin->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return {};
}

void SetControlText(QWidget* control, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(TextToInt(text.toStdString()));
    else if (auto* doubleSpin = qobject_cast<QDoubleSpinBox*>(control))
        doubleSpin->setValue(TextToFloat(text.toStdString()));
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
}

double ControlTextToFloat(const QWidget* control)
{
    return control ? TextToFloat(ControlText(control).toStdString()) : 0.0;
}

uint32_t EditTextToUInt(const QLineEdit* edit)
{
    return edit ? TextToUInt(edit->text().toStdString()) : 0;
}

uint32_t ControlTextToUInt(const QWidget* control)
{
    return control ? TextToUInt(ControlText(control).toStdString()) : 0;
}

int32_t GetComboIndex(const QComboBox* combo)
{
    if (!combo || combo->currentIndex() < 0)
        return 0;
    return combo->currentIndex();
}

void SetComboIndex(QComboBox* combo, int32_t index)
{
    if (!combo)
        return;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void SetComboItems(QComboBox* combo, const QStringList& items)
{
    if (!combo)
        return;
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

void SetControlIntText(QWidget* control, int32_t value, std::string_view format)
{
    if (!control)
        return;
    SetControlText(control, QString::fromStdString(FormatInt(format, value)));
}

namespace {

// What a blank control shows, and where a blank spin box keeps its own minimum.
const QString kBlankText = QStringLiteral(" ");
constexpr const char* kOwnMinimumProperty = "blankOwnMinimum";

// Gives a blank spin box its own range back; its value then stands where the caller sets it.
void RestoreSpinRange(QSpinBox* spin)
{
    const QVariant own = spin->property(kOwnMinimumProperty);
    if (own.isValid()) {
        spin->setProperty(kOwnMinimumProperty, QVariant());
        spin->setMinimum(own.toInt());
    }
    spin->setSpecialValueText(QString());
}

} // namespace

void ShowBlank(QAbstractSpinBox* control)
{
    if (auto* picker = qobject_cast<QDateTimeEdit*>(control)) {
        picker->setSpecialValueText(kBlankText);
        picker->setDateTime(picker->minimumDateTime());
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        // Below the spin box's own range, so that no value the user may choose looks blank.
        if (!spin->property(kOwnMinimumProperty).isValid() && spin->minimum() > INT_MIN) {
            spin->setProperty(kOwnMinimumProperty, spin->minimum());
            spin->setMinimum(spin->minimum() - 1);
        }
        spin->setSpecialValueText(kBlankText);
        spin->setValue(spin->minimum());
    }
}

bool IsBlank(const QAbstractSpinBox* control)
{
    if (!control || control->specialValueText() != kBlankText)
        return false;
    if (const auto* picker = qobject_cast<const QDateTimeEdit*>(control))
        return picker->dateTime() == picker->minimumDateTime();
    if (const auto* spin = qobject_cast<const QSpinBox*>(control))
        return spin->value() == spin->minimum();
    return false;
}

void SettleBlank(QAbstractSpinBox* control)
{
    if (auto* picker = qobject_cast<QDateTimeEdit*>(control)) {
        picker->setSpecialValueText(QString());
    } else if (auto* spin = qobject_cast<QSpinBox*>(control); spin && !IsBlank(spin)) {
        const int value = spin->value();
        RestoreSpinRange(spin);
        spin->setValue(value);
    }
}

void SpinLimits(const QSpinBox* spin, int& minimum, int& maximum)
{
    const QVariant own = spin->property(kOwnMinimumProperty);
    minimum = own.isValid() ? own.toInt() : spin->minimum();
    maximum = spin->maximum();
}

bool SetSpinValue(QSpinBox* spin, int value)
{
    if (!spin)
        return false;
    int minimum = 0;
    int maximum = 0;
    SpinLimits(spin, minimum, maximum);
    if (value < minimum || value > maximum) {
        ShowBlank(spin);
        return false;
    }
    RestoreSpinRange(spin);
    spin->setValue(value);
    return true;
}

void SetPickerDateTime(QDateTimeEdit* picker, const QDateTime& value)
{
    if (!picker)
        return;
    picker->setSpecialValueText(QString());
    picker->setDateTime(value);
}

void SetPickerDate(QDateTimeEdit* picker, const QDate& date)
{
    if (picker)
        SetPickerDateTime(picker, QDateTime(date, picker->time(), picker->timeSpec()));
}

void SetPickerTime(QDateTimeEdit* picker, const QTime& time)
{
    if (picker)
        SetPickerDateTime(picker, QDateTime(picker->date(), time, picker->timeSpec()));
}
