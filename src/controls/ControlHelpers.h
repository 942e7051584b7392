#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string_view>

class QAbstractSpinBox;
class QComboBox;
class QDate;
class QDateTime;
class QDateTimeEdit;
class QLineEdit;
class QSpinBox;
class QTime;
class QWidget;

// Numbers into and out of controls, with the same tolerant reading as the core's text
// helpers (either decimal separator, leading number only, 0 when nothing converts).
// Each does nothing, or returns 0, when given no control.

// The text a control shows: a line edit's or spin box's text, a combo box's current text,
// a label's or button's caption; empty for other controls.
QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);

double ControlTextToFloat(const QWidget* control);
uint32_t EditTextToUInt(const QLineEdit* edit);
uint32_t ControlTextToUInt(const QWidget* control);

// The chosen item's index; 0 when none is chosen.
int32_t GetComboIndex(const QComboBox* combo);
// Chooses the item when the index names one; otherwise chooses none.
void SetComboIndex(QComboBox* combo, int32_t index);
// Replaces the combo's items and leaves it with none chosen (index -1). A QComboBox chooses
// its first item as soon as items are added, which would hide "nothing chosen" from a page.
void SetComboItems(QComboBox* combo, const QStringList& items);

// Sets the control's text to the value formatted with a printf format; an empty or
// unusable format gives an empty text.
void SetControlIntText(QWidget* control, int32_t value, std::string_view format);

// Spin boxes and date or time pickers have no "no value" of their own. One that could not show
// its value is blank: a blank special text over a value of its own, a picker's minimum or a
// spin box's minimum lowered by one for the time being. It is blank exactly as long as it
// shows that value: any other value, set from code (signals blocked or not) or by the user,
// ends it.
void ShowBlank(QAbstractSpinBox* control);
bool IsBlank(const QAbstractSpinBox* control);
// The user changed the control: a picker keeps the value as a value (its minimum included),
// a spin box that left its blank value gets its own range back.
void SettleBlank(QAbstractSpinBox* control);
// A spin box's own range, also while it is blank.
void SpinLimits(const QSpinBox* spin, int& minimum, int& maximum);
// Set a value from code and end the blank state, also for a value that equals the blank one.
// A spin box value outside its own range leaves it blank and returns false.
bool SetSpinValue(QSpinBox* spin, int value);
void SetPickerDateTime(QDateTimeEdit* picker, const QDateTime& value);
void SetPickerDate(QDateTimeEdit* picker, const QDate& date);
void SetPickerTime(QDateTimeEdit* picker, const QTime& time);
