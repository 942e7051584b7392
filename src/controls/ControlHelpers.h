#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string_view>

class QComboBox;
class QLineEdit;
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
