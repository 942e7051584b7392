#pragma once

#include "presentation/ControlPort.h"

#include <memory>

class QWidget;

// The port of a widget, chosen once by the widget's class:
//   TEdit             QLineEdit
//   TComboBox         QComboBox (its text is the current text; an editable combo's text is
//                     written as its edit text)
//   TBitEditComboBox  TBitEditComboBox (the whole stored value, bits without a name included)
//   TCheckBox         QCheckBox
//   TCSpinEdit        QSpinBox
//   TProgressBar      QProgressBar
//   TDateTimePicker   QDateTimeEdit: a QDateEdit for dates, a QTimeEdit for times (the integer
//                     value is minutes of the day)
//   Other             any other widget
// None for no widget. The hint is the tool tip. A control counts as visible unless it was
// hidden itself: a control on a page that is not shown at the moment is still visible.
// A port whose widget was destroyed reads empty values and ignores writes.
std::unique_ptr<ControlPort> makePort(QWidget* widget);
