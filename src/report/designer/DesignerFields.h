#pragma once

// The number fields of the designer: the values each may hold, and reading what a person typed
// so that a text that is no number, or a number outside the field's range, is refused in the
// designer's words, naming the field. The same ranges guard the settings read back from the
// store, so that a settings file edited by hand cannot put a grid step of 1e300 into the window.

#include <QString>

#include <cstdint>

class QWidget;

// The closed interval of a field's sound values.
struct NumberRange {
    double Low;
    double High;
    bool Contains(double value) const { return value >= Low && value <= High; }
};

namespace DesignerFields {

// Grid steps by units: centimetres, inches, pixels and dialog pages. A step beyond about twice
// a band's header would round neighbouring bands onto one top and lose their order.
inline constexpr NumberRange kGridCM{0.01, 1};
inline constexpr NumberRange kGridInches{0.01, 0.4};
inline constexpr NumberRange kGridPixels{1, 40};
inline constexpr NumberRange kGridDialog{1, 40};
// The gap between bands, in pixels.
inline constexpr NumberRange kBandsGap{0, 100};
// The font sizes of the script editor and the memo editor, in points: the range of the Text
// tool bar's size list.
inline constexpr NumberRange kEditorFontSize{5, 72};
// The font size of report objects, in points.
inline constexpr NumberRange kObjectFontSize{1, 1000};
// The scale of a page, as a factor (the scale box shows it in percent).
inline constexpr NumberRange kScale{0.1, 20};

// The number in `text` ("." or "," as the decimal separator). Raises platform::Exception with
// the designer's message naming `field` when the text is no number or the number lies outside
// `range`.
double ReadNumber(const QString& text, const QString& field, NumberRange range);
// The same for whole numbers.
int32_t ReadInteger(const QString& text, const QString& field, NumberRange range);
// The same for a control: on a refusal the control takes the focus with its text selected, so
// that the message points at what to correct.
double ReadNumber(QWidget* control, const QString& text, const QString& field, NumberRange range);
int32_t ReadInteger(QWidget* control, const QString& text, const QString& field, NumberRange range);

// Refuses a value of `field` that lies outside `range` once converted (a length typed in whole
// characters): the same message, the control taking the focus.
[[noreturn]] void RefuseRange(QWidget* control, const QString& field, NumberRange range);

// A field's name as its label shows it: without the accelerator marks and the closing colon.
QString FieldName(const QString& caption);

// A value read back from the settings: itself when `range` holds it, else `fallback`.
double Sound(double value, NumberRange range, double fallback);

} // namespace DesignerFields
